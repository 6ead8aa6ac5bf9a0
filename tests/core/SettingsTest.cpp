#include "core/Settings.h"
#include "core/Utilities.h"

#include "platform/PrivateProfile.h"
#include "service/Wrappers.h"
#include "tests/support/FakeSarnSoap.h"
#include "tests/support/IniFileTest.h"

#include <QFile>
#include <QTemporaryDir>

#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

#include <memory>

namespace sarn {
namespace {

using testing::FakeSarnSoap;

class SettingsTest : public testing::IniFileTest {
  protected:
    // Creates the data module as start-up does: its creation loads the settings through the
    // fake service. The fake stays reachable through service_.
    void Create() {
        auto service = std::make_unique<FakeSarnSoap>();
        service_ = service.get();
        utilities_ = std::make_unique<TUtilities>(state_, IniPath(), std::move(service));
    }

    SessionState state_;
    FakeSarnSoap* service_ = nullptr;
    std::unique_ptr<TUtilities> utilities_;
};

TEST_F(SettingsTest, FirstRunGivesTheDefaultsWithoutAServiceCall) {
    Create();
    EXPECT_TRUE(service_->calls.isEmpty());
    EXPECT_EQ(state_.UserName, QString());
    EXPECT_EQ(state_.Password, QString());
    EXPECT_FALSE(state_.savePassword);
    EXPECT_FALSE(state_.autoLogin);
    EXPECT_TRUE(state_.Hint);
    EXPECT_EQ(state_.Today, QString());
    EXPECT_EQ(state_.VersionNo, QString());
    EXPECT_EQ(Content(), QByteArray("<missing>"));
}

TEST_F(SettingsTest, EmptyStoredCredentialsCauseNoServiceCall) {
    Put("[UserInfo]\r\nUserName=\r\nPassword=  \r\nsavePassword=0x1\r\nautoLogin=yes\r\n"
        "[Hint]\r\nHint=0\r\nToday=2026/12/11\r\n[Version]\r\nVersionNo=3.1\r\n");
    Create();
    EXPECT_TRUE(service_->calls.isEmpty());
    EXPECT_TRUE(state_.savePassword);  // hexadecimal
    EXPECT_FALSE(state_.autoLogin);    // a word gives the default
    EXPECT_FALSE(state_.Hint);
    EXPECT_EQ(state_.Today, QStringLiteral("2026/12/11"));
    EXPECT_EQ(state_.VersionNo, QStringLiteral("3.1"));
}

TEST_F(SettingsTest, EachStoredCredentialIsDecryptedByTheService) {
    Put("[UserInfo]\r\nUserName=enc:\xd5\xc5\xc8\xfd\r\nPassword=enc:secret\r\n");  // GBK
    Create();
    EXPECT_EQ(service_->calls, (QStringList{QStringLiteral("DecryptDES(enc:张三)"),
                                            QStringLiteral("DecryptDES(enc:secret)")}));
    EXPECT_EQ(state_.UserName, QStringLiteral("张三"));
    EXPECT_EQ(state_.Password, QStringLiteral("secret"));
}

TEST_F(SettingsTest, UnreachableServiceAtStartForgetsTheCredentialsForThisRunOnly) {
    const QByteArray stored = "[UserInfo]\r\nUserName=enc:u\r\nPassword=enc:p\r\n";
    Put(stored);
    SetServiceClient(nullptr);
    LoadSettings(state_, IniPath());
    EXPECT_EQ(state_.UserName, QString());
    EXPECT_EQ(state_.Password, QString());
    EXPECT_EQ(Content(), stored);
}

TEST_F(SettingsTest, SaveWritesAllSevenKeys) {
    Create();
    state_.VersionNo = QStringLiteral("2.0");
    state_.UserName = QStringLiteral("张三");
    state_.Password = QStringLiteral("pw");
    state_.savePassword = false;  // the password is stored all the same
    state_.autoLogin = true;
    state_.Hint = false;
    state_.Today = QStringLiteral("2026-12-11");
    SaveSettings(state_, IniPath());
    EXPECT_EQ(service_->calls,
              (QStringList{QStringLiteral("EncryptDES(张三)"), QStringLiteral("EncryptDES(pw)")}));
    EXPECT_EQ(Content(), QByteArray("[Version]\r\nVersionNo=2.0\r\n"
                                    "[UserInfo]\r\nUserName=enc:\xd5\xc5\xc8\xfd\r\n"
                                    "Password=enc:pw\r\nsavePassword=0\r\nautoLogin=1\r\n"
                                    "[Hint]\r\nHint=0\r\nToday=2026-12-11\r\n"));

    SessionState reloaded;
    LoadSettings(reloaded, IniPath());
    EXPECT_EQ(reloaded.UserName, state_.UserName);
    EXPECT_EQ(reloaded.Password, state_.Password);
    EXPECT_EQ(reloaded.autoLogin, true);
    EXPECT_EQ(reloaded.Hint, false);
}

TEST_F(SettingsTest, FailedEncryptionKeepsTheStoredCredentials) {
    Put("[UserInfo]\r\nUserName=enc:old\r\nPassword=enc:oldpw\r\n");
    Create();
    service_->encrypt = nullptr;  // the service is unreachable during the save
    state_.UserName = QStringLiteral("new");
    state_.Password = QString();  // nothing to encrypt: the empty answer is the real one
    state_.autoLogin = true;
    SaveSettings(state_, IniPath());
    const PrivateProfile file(IniPath());
    EXPECT_EQ(file.ReadString(QStringLiteral("UserInfo"), QStringLiteral("UserName"), {}),
              QStringLiteral("enc:old"));
    EXPECT_EQ(file.ReadString(QStringLiteral("UserInfo"), QStringLiteral("Password"), {}),
              QString());
    EXPECT_TRUE(file.ReadBool(QStringLiteral("UserInfo"), QStringLiteral("autoLogin"), false));
    EXPECT_TRUE(service_->calls.contains(QStringLiteral("EncryptDES()")));
}

TEST_F(SettingsTest, ReadOnlyFileStopsTheSaveWithTheError) {
    const QByteArray stored = "[Version]\r\nVersionNo=1\r\n";
    Put(stored);
    ASSERT_TRUE(QFile::setPermissions(IniPath(), QFileDevice::ReadOwner));
    Create();
    state_.UserName = QStringLiteral("u");
    try {
        SaveSettings(state_, IniPath());
        FAIL() << "the save went through";
    } catch (const ProfileWriteError& error) {
        EXPECT_EQ(error.Message(), QStringLiteral("Unable to write to ") + IniPath());
    }
    EXPECT_EQ(Content(), stored);
    EXPECT_TRUE(service_->calls.isEmpty());  // it stopped at the first key
}

}  // namespace
}  // namespace sarn
