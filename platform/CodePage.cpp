#include "platform/CodePage.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace sarn {

// TODO(foundation): exact "?" substitution for characters GBK cannot hold.
QByteArray ToAnsi(const QString& text) {
    QStringEncoder encoder("GBK");
    return encoder.encode(text);
}

QString FromAnsi(const QByteArray& bytes) {
    QStringDecoder decoder("GBK");
    return decoder.decode(bytes);
}

}  // namespace sarn
