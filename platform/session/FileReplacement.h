#pragma once

#include "platform/Error.h"

#include <QString>

#include <functional>

class QIODevice;

namespace sarn {

// The moments of a replacement, in order; a hook sees each one just after it is done.
enum class ReplacementStep {
    TemporaryCreated,   // empty temporary file beside the target
    ContentWritten,     // the writer has filled it
    ContentSynced,      // its data is on the disk
    ModeCopied,         // it carries the target's permission bits
    LeftoverLinked,     // the target is also reachable under the leftover name
    TargetRenamedAway,  // fallback only: the target exists only under the leftover name
    NewInPlace,         // the new file is at the target path
    DirectorySynced,    // the names are on the disk
};

class ReplacementError : public SarnError {
  public:
    using SarnError::SarnError;
};

// Puts a new file at `target` so that the target path holds, at every moment, either the
// complete previous file or the complete new one with the previous one's permission bits:
// the content goes into a temporary file beside the target, is flushed to the disk and gets
// the target's mode; the previous file then also gets the name `leftover` (when no file has
// it yet) and the new one is renamed over the target. `write` fills the temporary file and
// throws to abandon. Any failure removes the temporary file, restores the previous names and
// raises ReplacementError (or the writer's error). Temporary files left by an interrupted
// replacement are removed first.
void ReplaceFile(const QString& target, const QString& leftover,
                 const std::function<void(QIODevice&)>& write,
                 const std::function<void(ReplacementStep)>& onStep = {});

}  // namespace sarn
