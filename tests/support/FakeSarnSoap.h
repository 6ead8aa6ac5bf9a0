#pragma once

#include "platform/MessagePresenter.h"
#include "service/SarnSoap.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace sarn::testing {

// A service whose answers a test sets and which records every call as "Operation(arg,arg)".
// An operation without an answer fails as an unreachable service does.
class FakeSarnSoap : public sarnSoap, public SarnSoapProvider {
  public:
    sarnSoap& GetsarnSoap() override { return *this; }

    QStringList calls;

    // Answers; an empty std::function means "fail".
    std::function<QString(const QString&)> encrypt = [](const QString& s) -> QString {
        return QStringLiteral("enc:") + s;
    };
    std::function<QString(const QString&)> decrypt = [](const QString& s) -> QString {
        return s.startsWith(QStringLiteral("enc:")) ? s.mid(4) : QString();
    };
    std::function<qint32(const QString&, const QString&)> login;
    std::function<qint32(const QStringList&)> registerAccount;
    std::function<QString()> remoteIp = [] { return QStringLiteral("10.1.2.3"); };
    std::function<QString()> newUrl;
    std::function<QString()> news;
    std::function<QString()> versionNumber;
    std::function<QByteArray()> updateFile;
    std::function<QString(qint32)> customerProduct;

    void AddLogin(qint32 customerID, const QString& ip) override;
    void AddLogOut(qint32 customerID, const QString& ip) override;
    QString GetNewVersionNumber() override;
    QByteArray GetNewUpdateFile() override;
    QString EncryptDES(const QString& encryptString) override;
    QString EncryptDESCustomDecryptKey(const QString& key, const QString& text) override;
    QString DecryptDES(const QString& encryptString) override;
    QString DecryptDESCustomDecryptKey(const QString& key, const QString& text) override;
    QString GetRemoteIP() override;
    QString GetOldURL() override;
    QString GetNewURL() override;
    QString GetNews() override;
    qint32 Login(const QString& loginName, const QString& password) override;
    qint32 Register(const QString& loginName, const QString& password, const QString& mobile,
                    const QString& email, const QString& provinces, const QString& city) override;
    QString GetCustomerProduct(qint32 customerID) override;
};

// Captures message boxes instead of showing them.
class RecordingPresenter : public MessagePresenter {
  public:
    struct Box {
        QString caption;
        QString text;
        MessageIcon icon;
    };
    std::vector<Box> shown;
    std::function<void()> onShow;  // runs while the "box" is open (a nested loop, a check)

    void Show(const QString& caption, const QString& text, MessageIcon icon) override {
        shown.push_back({caption, text, icon});
        if (onShow) {
            onShow();
        }
    }
    QStringList Texts() const {
        QStringList texts;
        for (const Box& box : shown) {
            texts << box.text;
        }
        return texts;
    }
};

}  // namespace sarn::testing
