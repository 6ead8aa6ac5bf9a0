#pragma once

namespace sarndev {

// The whole command line of sarn-service; returns the exit code (2 for bad arguments).
int RunCommandLine(int argc, char** argv);

}  // namespace sarndev
