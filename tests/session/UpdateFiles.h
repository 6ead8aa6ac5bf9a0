#pragma once

// A small runnable program that says which version it is, for the update tests.

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QString>

namespace sarn::testing {

inline QByteArray ProgramSaying(const QByteArray& word) {
    return "#!/bin/sh\necho " + word + "\n";
}

inline bool WriteProgram(const QString& path, const QByteArray& word) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(ProgramSaying(word)) < 0) {
        return false;
    }
    file.close();
    return file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                               QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                               QFileDevice::ExeGroup | QFileDevice::ReadOther |
                               QFileDevice::ExeOther);
}

// What the program at `path` prints, or "<not runnable>".
inline QByteArray RunProgram(const QString& path) {
    QProcess process;
    process.start(path, {});
    if (!process.waitForFinished(10000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        return "<not runnable>";
    }
    return process.readAllStandardOutput().trimmed();
}

}  // namespace sarn::testing
