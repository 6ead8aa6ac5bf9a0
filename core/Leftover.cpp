#include "core/Leftover.h"

#include <QFile>

namespace sarn {

void DeleteLeftoverUpdate(const QString& executablePath) {
    QFile::remove(LeftoverPath(executablePath));
}

}  // namespace sarn
