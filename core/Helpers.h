#pragma once

#include "platform/Error.h"
#include "platform/MessagePresenter.h"

#include <QByteArray>
#include <QString>

class QIODevice;

namespace sarn {

// "Uneven size in DecodeToStream.", or another text for a character outside the alphabet.
class DecodeError : public SarnError {
  public:
    DecodeError();
    using SarnError::SarnError;
};

// Modal boxes with the caption "Sarn提示您".
void ShowInfo(MessagePresenter& boxes, const QString& text);
void ShowError(MessagePresenter& boxes, const QString& text);

// Characters 9 to 24 of the lower-case MD5 text of the password's GBK bytes.
QString PasswordDigest(const QString& password);

// Base64 (standard alphabet, "=" fill). Throws DecodeError when the length is not a multiple
// of four.
QByteArray DecodeBase64Text(const QByteArray& text);

// Every "," becomes CR LF; the full-width comma is left alone.
QString CommaToLines(const QString& text);

// All bytes from the stream's start to its end.
QByteArray StreamToText(QIODevice& stream);

}  // namespace sarn
