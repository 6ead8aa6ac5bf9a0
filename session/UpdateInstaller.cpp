#include "session/UpdateInstaller.h"

#include "core/Helpers.h"
#include "core/Leftover.h"

#include <QIODevice>

namespace sarn {

bool ApplyUpdateFile(const QByteArray& text, const Base64Decoder& decoder,
                     const QString& executablePath,
                     const std::function<void(ReplacementStep)>& onStep) {
    if (text.isEmpty()) {
        return false;
    }
    if (text.size() % 4 != 0) {
        throw DecodeError();  // before anything on disk is touched
    }
    ReplaceFile(
        executablePath, LeftoverPath(executablePath),
        [&](QIODevice& out) {
            decoder.DecodeToDevice(text, out);
            if (out.pos() == 0) {
                throw ReplacementError(QStringLiteral("The update image is empty."));
            }
        },
        onStep);
    return true;
}

}  // namespace sarn
