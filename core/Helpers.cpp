#include "core/Helpers.h"

#include "core/Base64Decoder.h"
#include "platform/CodePage.h"

#include <QIODevice>

#include <openssl/evp.h>

namespace sarn {

namespace {

const QString kHelperCaption = QStringLiteral("Sarn提示您");

}  // namespace

DecodeError::DecodeError() : SarnError(QStringLiteral("Uneven size in DecodeToStream.")) {}

void ShowInfo(MessagePresenter& boxes, const QString& text) {
    boxes.Show(kHelperCaption, text, MessageIcon::Information);
}

void ShowError(MessagePresenter& boxes, const QString& text) {
    boxes.Show(kHelperCaption, text, MessageIcon::Error);
}

QString PasswordDigest(const QString& password) {
    const QByteArray bytes = ToAnsi(password);
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_Digest(bytes.constData(), static_cast<size_t>(bytes.size()), digest, &length, EVP_md5(),
               nullptr);
    // Digest bytes 4 to 11 are characters 9 to 24 of the 32-digit text.
    const QByteArray middle(reinterpret_cast<const char*>(digest) + 4, 8);
    return QString::fromLatin1(middle.toHex());
}

QByteArray DecodeBase64Text(const QByteArray& text) {
    return Base64Decoder().Decode(text);
}

QString CommaToLines(const QString& text) {
    QString lines = text;
    lines.replace(u',', QStringLiteral("\r\n"));
    return lines;
}

QByteArray StreamToText(QIODevice& stream) {
    stream.seek(0);
    return stream.readAll();
}

}  // namespace sarn
