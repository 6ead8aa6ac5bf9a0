#pragma once

#include <QByteArray>
#include <QString>

namespace sarn {

// The service interface sarnSoap, in declaration order. Every call is synchronous and raises
// one of the errors of service/SoapErrors.h on failure.
class sarnSoap {
  public:
    virtual ~sarnSoap() = default;

    virtual void AddLogin(qint32 customerID, const QString& ip) = 0;
    virtual void AddLogOut(qint32 customerID, const QString& ip) = 0;
    virtual QString GetNewVersionNumber() = 0;
    // The Base64 text of the update image. It is pure ASCII and can be tens of megabytes, so it
    // stays in its wire bytes instead of being widened to UTF-16.
    virtual QByteArray GetNewUpdateFile() = 0;
    virtual QString EncryptDES(const QString& encryptString) = 0;
    virtual QString EncryptDESCustomDecryptKey(const QString& decryptKey,
                                               const QString& encryptString) = 0;
    virtual QString DecryptDES(const QString& encryptString) = 0;
    virtual QString DecryptDESCustomDecryptKey(const QString& decryptKey,
                                               const QString& encryptString) = 0;
    virtual QString GetRemoteIP() = 0;
    virtual QString GetOldURL() = 0;
    virtual QString GetNewURL() = 0;
    virtual QString GetNews() = 0;
    virtual qint32 Login(const QString& loginName, const QString& password) = 0;
    virtual qint32 Register(const QString& loginName, const QString& password,
                            const QString& mobile, const QString& email, const QString& provinces,
                            const QString& city) = 0;
    virtual QString GetCustomerProduct(qint32 customerID) = 0;
};

// Whatever hands out a bound sarnSoap: the SoapClient, or a test's fake service. Obtaining the
// interface may itself fail (binding), with the same errors as a call.
class SarnSoapProvider {
  public:
    virtual ~SarnSoapProvider() = default;
    virtual sarnSoap& GetsarnSoap() = 0;
};

}  // namespace sarn
