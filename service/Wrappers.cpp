#include "service/Wrappers.h"

namespace sarn {

namespace {

SarnSoapProvider* g_HTTPRIO1 = nullptr;

// Runs one operation on the bound interface; any error leaves the neutral result.
template <typename Result, typename Call>
Result Invoke(Result neutral, Call&& call) noexcept {
    if (g_HTTPRIO1 == nullptr) {
        return neutral;
    }
    try {
        return call(g_HTTPRIO1->GetsarnSoap());
    } catch (...) {  // whatever the SOAP layer, the transport or the service raised
        return neutral;
    }
}

}  // namespace

void SetServiceClient(SarnSoapProvider* client) {
    g_HTTPRIO1 = client;
}
SarnSoapProvider* ServiceClient() {
    return g_HTTPRIO1;
}

void SvcAddLogin(qint32 customerID, const QString& ip) {
    Invoke(0, [&](sarnSoap& soap) {
        soap.AddLogin(customerID, ip);
        return 0;
    });
}

void SvcAddLogOut(qint32 customerID, const QString& ip) {
    Invoke(0, [&](sarnSoap& soap) {
        soap.AddLogOut(customerID, ip);
        return 0;
    });
}

QString SvcGetNewVersionNumber() {
    return Invoke(QString(), [](sarnSoap& soap) { return soap.GetNewVersionNumber(); });
}

QString SvcEncryptDES(const QString& text) {
    return Invoke(QString(), [&](sarnSoap& soap) { return soap.EncryptDES(text); });
}

QString SvcDecryptDES(const QString& text) {
    return Invoke(QString(), [&](sarnSoap& soap) { return soap.DecryptDES(text); });
}

QString SvcGetRemoteIP() {
    return Invoke(QString(), [](sarnSoap& soap) { return soap.GetRemoteIP(); });
}

QString SvcGetNewURL() {
    return Invoke(QString(), [](sarnSoap& soap) { return soap.GetNewURL(); });
}

QString SvcGetNews() {
    return Invoke(QString(), [](sarnSoap& soap) { return soap.GetNews(); });
}

qint32 SvcLogin(const QString& loginName, const QString& password) {
    return Invoke(0, [&](sarnSoap& soap) { return soap.Login(loginName, password); });
}

qint32 SvcRegister(const QString& loginName, const QString& password, const QString& mobile,
                   const QString& email, const QString& provinces, const QString& city) {
    return Invoke(0, [&](sarnSoap& soap) {
        return soap.Register(loginName, password, mobile, email, provinces, city);
    });
}

QString SvcGetCustomerProduct(qint32 customerID) {
    return Invoke(QString(), [&](sarnSoap& soap) { return soap.GetCustomerProduct(customerID); });
}

}  // namespace sarn
