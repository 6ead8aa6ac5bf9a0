#pragma once

#include <QString>

namespace sarn {

// Full path of the running program's file, as the system reports it for the process. Ask at
// start: once an update has renamed the running file, the system reports the new name.
QString ExecutablePath();

// The executable's path up to and including the last separator.
QString ExecutableDirectory();

}  // namespace sarn
