#include "platform/ExecutablePath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace sarn {

QString ExecutablePath() {
    // The kernel's own record of the running image, independent of the working directory.
    const QString path = QFile::symLinkTarget(QStringLiteral("/proc/self/exe"));
    return QDir::toNativeSeparators(path);
}

QString ExecutableDirectory() {
    const QString path = ExecutablePath();
    return path.left(path.lastIndexOf(u'/') + 1);
}

}  // namespace sarn
