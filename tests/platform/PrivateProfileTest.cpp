#include "platform/PrivateProfile.h"

#include "platform/CodePage.h"
#include "tests/support/IniFileTest.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

namespace sarn {
namespace {

using PrivateProfileTest = testing::IniFileTest;

// A file as a person or an older program may have left it: odd case, blanks, comments,
// duplicates, CR LF line ends, GBK text.
const QByteArray kHandWritten =
    "; written by hand\r\n"
    "[version]\r\n"
    "VERSIONNO =  1.2.3  \r\n"
    "\r\n"
    "[ UserInfo ]\r\n"
    "username=\xd5\xc5\xc8\xfd\r\n"
    "UserName=second\r\n"
    "savePassword=1\r\n"
    "note\r\n"
    "\r\n"
    "[UserInfo]\r\n"
    "autoLogin=1\r\n"
    "[Hint]\r\n"
    "Today=2026-12-11";

TEST_F(PrivateProfileTest, ReadsByTheFileRules) {
    Put(kHandWritten);
    const PrivateProfile file(IniPath());
    const QString none = QStringLiteral("<default>");
    EXPECT_EQ(file.ReadString(QStringLiteral("Version"), QStringLiteral("VersionNo"), none),
              QStringLiteral("1.2.3"));
    EXPECT_EQ(file.ReadString(QStringLiteral("USERINFO"), QStringLiteral("UserName"), none),
              QStringLiteral("张三"));  // the first of two, in GBK
    EXPECT_EQ(file.ReadString(QStringLiteral("Hint"), QStringLiteral("today"), none),
              QStringLiteral("2026-12-11"));  // last line without a line end
    // Only the first section of a name counts.
    EXPECT_EQ(file.ReadString(QStringLiteral("UserInfo"), QStringLiteral("autoLogin"), none), none);
    EXPECT_EQ(file.ReadString(QStringLiteral("UserInfo"), QStringLiteral("note"), none), none);
    EXPECT_EQ(file.ReadString(QStringLiteral("Missing"), QStringLiteral("UserName"), none), none);
    EXPECT_EQ(PrivateProfile(dir_.filePath(QStringLiteral("absent.ini")))
                  .ReadString(QStringLiteral("Version"), QStringLiteral("VersionNo"), none),
              none);
}

TEST_F(PrivateProfileTest, LongValuesAreCutAt2047Characters) {
    const QByteArray value(3000, 'v');
    Put("[S]\nK=" + value + "\n");
    EXPECT_EQ(PrivateProfile(IniPath()).ReadString(QStringLiteral("S"), QStringLiteral("K"), {}),
              QString(2047, u'v'));
}

TEST_F(PrivateProfileTest, ReadsIntegersWithTheHexadecimalAndDefaultRules) {
    struct Case {
        QByteArray stored;
        int expected;
    };
    const int kDefault = 7;
    const Case cases[] = {
        {"1", 1},          {"0", 0},           {" 42 ", 42},       {"-3", -3},
        {"0x1F", 31},      {"0X10", 16},       {"0x0", 0},         {"0xFFFFFFFF", -1},
        {"0x", kDefault},  {"0X", kDefault},   {"0x1G", kDefault}, {"0x123456789", kDefault},
        {"yes", kDefault}, {"12ab", kDefault}, {"", kDefault},     {"99999999999", kDefault},
        {"1.5", kDefault},
    };
    for (const Case& c : cases) {
        Put("[S]\nK=" + c.stored + "\n");
        EXPECT_EQ(PrivateProfile(IniPath()).ReadInteger(QStringLiteral("S"), QStringLiteral("K"),
                                                        kDefault),
                  c.expected)
            << c.stored.constData();
    }
    EXPECT_EQ(PrivateProfile(IniPath()).ReadInteger(QStringLiteral("S"), QStringLiteral("None"), 5),
              5);
    Put("[S]\nK=0x2\nW=word\n");
    EXPECT_TRUE(
        PrivateProfile(IniPath()).ReadBool(QStringLiteral("S"), QStringLiteral("K"), false));
    EXPECT_TRUE(PrivateProfile(IniPath()).ReadBool(QStringLiteral("S"), QStringLiteral("W"), true));
}

TEST_F(PrivateProfileTest, WritesInPlaceAndLeavesEveryOtherByteAlone) {
    Put(kHandWritten);
    PrivateProfile file(IniPath());
    file.WriteString(QStringLiteral("userinfo"), QStringLiteral("USERNAME"),
                     QStringLiteral("李四"));
    QByteArray expected = kHandWritten;
    expected.replace("username=\xd5\xc5\xc8\xfd", "username=\xc0\xee\xcb\xc4");
    EXPECT_EQ(Content(), expected);
}

TEST_F(PrivateProfileTest, AppendsToTheSectionThenAddsSectionsAtTheEnd) {
    Put("[A]\r\nx=1\r\n\r\n[B]\r\ny=2");
    PrivateProfile file(IniPath());
    file.WriteString(QStringLiteral("a"), QStringLiteral("z"), QStringLiteral("3"));
    EXPECT_EQ(Content(), QByteArray("[A]\r\nx=1\r\nz=3\r\n\r\n[B]\r\ny=2"));
    file.WriteString(QStringLiteral("C"), QStringLiteral("k"), QStringLiteral("v"));
    EXPECT_EQ(Content(), QByteArray("[A]\r\nx=1\r\nz=3\r\n\r\n[B]\r\ny=2\r\n[C]\r\nk=v\r\n"));
}

TEST_F(PrivateProfileTest, CreatesAMissingFileAndKeepsValuesOnOneLine) {
    PrivateProfile file(IniPath());
    file.WriteString(QStringLiteral("UserInfo"), QStringLiteral("UserName"),
                     QStringLiteral("张三"));
    file.WriteString(QStringLiteral("UserInfo"), QStringLiteral("Password"),
                     QStringLiteral("a\r\n[UserInfo]\nautoLogin=1"));
    EXPECT_EQ(Content(), QByteArray("[UserInfo]\r\nUserName=\xd5\xc5\xc8\xfd\r\n"
                                    "Password=a  [UserInfo] autoLogin=1\r\n"));
    EXPECT_EQ(file.ReadString(QStringLiteral("UserInfo"), QStringLiteral("autoLogin"), {}),
              QString());
    // Nothing but the file itself is left in the directory.
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("info.ini")});
}

TEST_F(PrivateProfileTest, KeepsTheFilesPermissions) {
    Put("[S]\nK=1\n");
    const auto mode = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
    ASSERT_TRUE(QFile::setPermissions(IniPath(), mode));
    PrivateProfile(IniPath()).WriteString(QStringLiteral("S"), QStringLiteral("K"),
                                          QStringLiteral("2"));
    EXPECT_EQ(QFile::permissions(IniPath()) & 0x7077, mode & 0x7077);
    EXPECT_EQ(Content(), QByteArray("[S]\nK=2\n"));
}

TEST_F(PrivateProfileTest, ReadOnlyFileIsNotWrittenNorReplaced) {
    Put("[S]\nK=1\n");
    ASSERT_TRUE(QFile::setPermissions(IniPath(), QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    PrivateProfile file(IniPath());
    try {
        file.WriteString(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("2"));
        FAIL() << "the write went through";
    } catch (const ProfileWriteError& error) {
        EXPECT_EQ(error.Message(), QStringLiteral("Unable to write to ") + IniPath());
    }
    EXPECT_EQ(Content(), QByteArray("[S]\nK=1\n"));
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("info.ini")});
}

TEST_F(PrivateProfileTest, UnwritableDirectoryGivesTheError) {
    const QString path = dir_.filePath(QStringLiteral("missing/info.ini"));
    PrivateProfile file(path);
    try {
        file.WriteString(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("1"));
        FAIL() << "the write went through";
    } catch (const ProfileWriteError& error) {
        EXPECT_EQ(error.Message(), QStringLiteral("Unable to write to ") + path);
    }
}

}  // namespace
}  // namespace sarn
