#pragma once

#include <QByteArray>
#include <QList>

namespace sarn {

// The lines of a notification: the text ends at its first zero byte; CR LF, a lone LF and a
// lone CR each end one line (so LF CR ends a line and then an empty one); a break at the very
// end adds no empty line, and an empty text has no lines.
QList<QByteArray> SplitNotificationLines(const QByteArray& text);

}  // namespace sarn
