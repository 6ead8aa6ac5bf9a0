#pragma once

#include <QByteArray>
#include <QString>

namespace sarn {

// The "ANSI" code page of the target systems: GBK. Every byte string the program exchanges with
// files, datagrams or digests goes through these two conversions.

// Characters GBK cannot hold become "?", as a Windows ANSI conversion does.
QByteArray ToAnsi(const QString& text);

// Byte sequences that are not valid GBK become U+FFFD; this never fails.
QString FromAnsi(const QByteArray& bytes);

// The text as it survives a trip through the ANSI code page (what an ANSI edit control keeps).
inline QString AnsiRoundTrip(const QString& text) {
    return FromAnsi(ToAnsi(text));
}

}  // namespace sarn
