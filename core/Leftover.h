#pragma once

#include <QString>

namespace sarn {

// The name an update gives the previous executable: its path with ".old" appended.
inline QString LeftoverPath(const QString& executablePath) {
    return executablePath + QStringLiteral(".old");
}

// Deletes the previous executable an update left behind, if any; a failure is ignored and the
// file stays until a later start.
void DeleteLeftoverUpdate(const QString& executablePath);

}  // namespace sarn
