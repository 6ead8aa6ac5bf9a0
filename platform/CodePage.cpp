#include "platform/CodePage.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace sarn {

namespace {

constexpr char kCodePage[] = "GBK";

// The converter maps the lone byte 0xFF (no GBK character) to this private-use character, as
// the Windows table does; we want it to read as invalid like every other stray byte.
constexpr char16_t kStrayFF = 0xF8F5;

QByteArray ReplaceAllNonAscii(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() &&
            QChar::isLowSurrogate(text.at(i + 1).unicode())) {
            ++i;
        }
        bytes.append(c < 0x80 ? static_cast<char>(c) : '?');
    }
    return bytes;
}

}  // namespace

QByteArray ToAnsi(const QString& text) {
    // Stateless: each call converts the whole text on its own. The converter already writes
    // "?" for every character (and every surrogate pair or lone surrogate) it cannot map.
    QStringEncoder encoder(kCodePage, QStringConverter::Flag::Stateless);
    if (!encoder.isValid()) {
        return ReplaceAllNonAscii(text);
    }
    return encoder.encode(text);
}

QString FromAnsi(const QByteArray& bytes) {
    QStringDecoder decoder(kCodePage, QStringConverter::Flag::Stateless);
    if (!decoder.isValid()) {
        return QString::fromLatin1(bytes);
    }
    // A lead byte at the very end would be dropped silently; a line feed can never be a GBK
    // trail byte, so appending one makes the converter report the cut character, and the line
    // feed itself is removed again.
    QString text = decoder.decode(bytes + '\n');
    text.chop(1);
    text.replace(QChar(kStrayFF), QChar::ReplacementCharacter);
    return text;
}

}  // namespace sarn
