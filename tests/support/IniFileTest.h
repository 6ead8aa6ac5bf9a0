#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace sarn::testing {

// A test with an info.ini of its own in a fresh temporary directory, written and read back as
// raw bytes.
class IniFileTest : public ::testing::Test {
  protected:
    QString IniPath() const { return dir_.filePath(QStringLiteral("info.ini")); }

    void Put(const QByteArray& content) const {
        QFile file(IniPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }

    QByteArray Content() const {
        QFile file(IniPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    QTemporaryDir dir_;
};

}  // namespace sarn::testing
