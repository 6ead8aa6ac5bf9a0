#pragma once

#include "core/Base64Decoder.h"
#include "platform/session/FileReplacement.h"

#include <QByteArray>
#include <QString>

#include <functional>

namespace sarn {

// Installs the Base64 update image as the executable for the next start. False when the text
// is empty (nothing done). Otherwise the image is decoded completely into a file beside the
// executable, which then takes the executable's place, the previous file keeping the leftover
// name; at no moment is the executable path missing, partly written or not executable. Throws
// DecodeError (uneven or invalid text) or ReplacementError (a write or rename failed, or the
// image decodes to nothing) with the previous file left in place.
bool ApplyUpdateFile(const QByteArray& text, const Base64Decoder& decoder,
                     const QString& executablePath,
                     const std::function<void(ReplacementStep)>& onStep = {});

}  // namespace sarn
