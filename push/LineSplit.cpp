#include "push/LineSplit.h"

namespace sarn {

QList<QByteArray> SplitNotificationLines(const QByteArray& text) {
    const qsizetype zero = text.indexOf('\0');
    const qsizetype end = zero < 0 ? text.size() : zero;
    QList<QByteArray> lines;
    qsizetype at = 0;
    while (at < end) {
        qsizetype stop = at;
        while (stop < end && text[stop] != '\r' && text[stop] != '\n') {
            ++stop;
        }
        lines.append(text.mid(at, stop - at));
        at = stop;
        if (at < end && text[at] == '\r') {
            ++at;
        }
        if (at < end && text[at] == '\n') {
            ++at;
        }
    }
    return lines;
}

}  // namespace sarn
