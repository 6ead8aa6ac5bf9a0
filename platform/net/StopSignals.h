#pragma once

namespace sarn::net {

// SIGINT and SIGTERM for a process without a Qt loop (a Qt program uses
// platform/session/TerminationSignals instead): one thread waits for them, every other thread
// runs on undisturbed.

// Blocks SIGINT and SIGTERM for the calling thread and every thread it starts afterwards, so
// that only WaitForStopSignal sees them. Call it before starting any thread. Also sets both back
// to their default action first: a shell starts background jobs with SIGINT ignored, and an
// ignored signal never reaches the waiting thread.
void BlockStopSignals();

// Returns the number of the stop signal once one has arrived. Needs BlockStopSignals first.
int WaitForStopSignal();

// A write to a socket whose peer went away fails instead of ending the process.
void IgnoreBrokenPipes();

}  // namespace sarn::net
