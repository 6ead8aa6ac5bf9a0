// Checks the notification line splitter against a plain model of its rule: the text ends at
// its first zero byte; CR LF, LF and CR each end a line; a last line without a break counts
// only when it is not empty.

#include "push/LineSplit.h"

#include <QByteArray>
#include <QList>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

QList<QByteArray> Model(QByteArray text) {
    const qsizetype zero = text.indexOf('\0');
    if (zero >= 0) {
        text.truncate(zero);
    }
    text.replace("\r\n", "\n");
    text.replace('\r', '\n');
    if (text.isEmpty()) {
        return {};
    }
    QList<QByteArray> lines = text.split('\n');
    if (text.endsWith('\n')) {
        lines.removeLast();
    }
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (sarn::SplitNotificationLines(text) != Model(text)) {
        abort();
    }
    return 0;
}
