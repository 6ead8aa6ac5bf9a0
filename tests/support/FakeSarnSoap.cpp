#include "tests/support/FakeSarnSoap.h"

#include "service/SoapErrors.h"

namespace sarn::testing {

namespace {

[[noreturn]] void Unreachable() {
    throw TransportError(QStringLiteral("Couldn't connect to server - URL:fake - SOAPAction:\"\""));
}

template <typename Answer, typename... Args>
auto AnswerOrFail(const Answer& answer, Args&&... args) {
    if (!answer) {
        Unreachable();
    }
    return answer(std::forward<Args>(args)...);
}

}  // namespace

void FakeSarnSoap::AddLogin(qint32 customerID, const QString& ip) {
    calls << QStringLiteral("AddLogin(%1,%2)").arg(customerID).arg(ip);
}
void FakeSarnSoap::AddLogOut(qint32 customerID, const QString& ip) {
    calls << QStringLiteral("AddLogOut(%1,%2)").arg(customerID).arg(ip);
}
QString FakeSarnSoap::GetNewVersionNumber() {
    calls << QStringLiteral("GetNewVersionNumber()");
    return AnswerOrFail(versionNumber);
}
QByteArray FakeSarnSoap::GetNewUpdateFile() {
    calls << QStringLiteral("GetNewUpdateFile()");
    return AnswerOrFail(updateFile);
}
QString FakeSarnSoap::EncryptDES(const QString& s) {
    calls << QStringLiteral("EncryptDES(%1)").arg(s);
    return AnswerOrFail(encrypt, s);
}
QString FakeSarnSoap::EncryptDESCustomDecryptKey(const QString&, const QString&) {
    Unreachable();
}
QString FakeSarnSoap::DecryptDES(const QString& s) {
    calls << QStringLiteral("DecryptDES(%1)").arg(s);
    return AnswerOrFail(decrypt, s);
}
QString FakeSarnSoap::DecryptDESCustomDecryptKey(const QString&, const QString&) {
    Unreachable();
}
QString FakeSarnSoap::GetRemoteIP() {
    calls << QStringLiteral("GetRemoteIP()");
    return AnswerOrFail(remoteIp);
}
QString FakeSarnSoap::GetOldURL() {
    Unreachable();
}
QString FakeSarnSoap::GetNewURL() {
    calls << QStringLiteral("GetNewURL()");
    return AnswerOrFail(newUrl);
}
QString FakeSarnSoap::GetNews() {
    calls << QStringLiteral("GetNews()");
    return AnswerOrFail(news);
}
qint32 FakeSarnSoap::Login(const QString& loginName, const QString& password) {
    calls << QStringLiteral("Login(%1,%2)").arg(loginName, password);
    return AnswerOrFail(login, loginName, password);
}
qint32 FakeSarnSoap::Register(const QString& loginName, const QString& password,
                              const QString& mobile, const QString& email, const QString& provinces,
                              const QString& city) {
    const QStringList args{loginName, password, mobile, email, provinces, city};
    calls << QStringLiteral("Register(%1)").arg(args.join(u','));
    return AnswerOrFail(registerAccount, args);
}
QString FakeSarnSoap::GetCustomerProduct(qint32 customerID) {
    calls << QStringLiteral("GetCustomerProduct(%1)").arg(customerID);
    return AnswerOrFail(customerProduct, customerID);
}

}  // namespace sarn::testing
