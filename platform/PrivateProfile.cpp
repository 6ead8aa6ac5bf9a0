#include "platform/PrivateProfile.h"

namespace sarn {

// TODO(foundation): the file rules.
ProfileWriteError::ProfileWriteError(const QString& path)
    : SarnError(QStringLiteral("Unable to write to %1").arg(path)) {}

PrivateProfile::PrivateProfile(QString path) : path_(std::move(path)) {}

QString PrivateProfile::ReadString(const QString&, const QString&,
                                   const QString& defaultValue) const {
    return defaultValue;
}

int PrivateProfile::ReadInteger(const QString&, const QString&, int defaultValue) const {
    return defaultValue;
}

void PrivateProfile::WriteString(const QString&, const QString&, const QString&) {
    throw ProfileWriteError(path_);
}

}  // namespace sarn
