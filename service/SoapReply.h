#pragma once

#include <QByteArray>
#include <QString>

namespace sarn {

// The value a reply carries for an operation with a result: present = false when the Body was
// empty (the caller keeps its initial value).
struct SoapResultValue {
    bool present = false;
    QByteArray utf8;
};

// Reads a SOAP 1.1 reply. Raises ServiceFault for a Fault (or a header that must be
// understood) and MessageError for anything that is not the expected message. The reply's
// bytes are parsed in place and, for a plain text result, become the value itself, so a large
// result is never copied.
SoapResultValue ReadSoapReply(QByteArray body, bool operationHasResult);

// The integer result rule: white space trimmed, a decimal 32-bit number; anything else is a
// MessageError.
qint32 SoapIntegerValue(const QByteArray& utf8);

}  // namespace sarn
