#include "service/SoapClient.h"

#include "service/ServiceHost.h"
#include "service/SoapErrors.h"

namespace sarn {

// Placeholder until the wire exists: every call fails as with an unreachable service.
class SoapClient::Impl : public sarnSoap {
  public:
    QString location, service, port, agent = QStringLiteral("Tolvern SOAP 1.2");
    bool utf8InHeader = false;

    [[noreturn]] static void Fail() { throw TransportError(QStringLiteral("not connected")); }

    void AddLogin(qint32, const QString&) override { Fail(); }
    void AddLogOut(qint32, const QString&) override { Fail(); }
    QString GetNewVersionNumber() override { Fail(); }
    QByteArray GetNewUpdateFile() override { Fail(); }
    QString EncryptDES(const QString&) override { Fail(); }
    QString EncryptDESCustomDecryptKey(const QString&, const QString&) override { Fail(); }
    QString DecryptDES(const QString&) override { Fail(); }
    QString DecryptDESCustomDecryptKey(const QString&, const QString&) override { Fail(); }
    QString GetRemoteIP() override { Fail(); }
    QString GetOldURL() override { Fail(); }
    QString GetNewURL() override { Fail(); }
    QString GetNews() override { Fail(); }
    qint32 Login(const QString&, const QString&) override { Fail(); }
    qint32 Register(const QString&, const QString&, const QString&, const QString&, const QString&,
                    const QString&) override {
        Fail();
    }
    QString GetCustomerProduct(qint32) override { Fail(); }
};

SoapClient::SoapClient() : impl_(std::make_unique<Impl>()) {}
SoapClient::~SoapClient() = default;

void SoapClient::SetWSDLLocation(const QString& location) {
    impl_->location = location;
    impl_->service.clear();
    impl_->port.clear();
}
void SoapClient::SetService(const QString& service) {
    impl_->service = service;
}
void SoapClient::SetPort(const QString& port) {
    impl_->port = port;
}
void SoapClient::SetAgent(const QString& agent) {
    impl_->agent = agent;
}
void SoapClient::SetUseUTF8InHeader(bool on) {
    impl_->utf8InHeader = on;
}
sarnSoap& SoapClient::GetsarnSoap() {
    return *impl_;
}

std::unique_ptr<SoapClient> MakeSarnSoapClient(const ServiceHost& host) {
    auto client = std::make_unique<SoapClient>();
    client->SetWSDLLocation(host.DescriptionLocation());
    client->SetService(QStringLiteral("sarn"));
    client->SetPort(QStringLiteral("sarnSoap"));
    client->SetAgent(QStringLiteral("Tolvern SOAP 1.2"));
    client->SetUseUTF8InHeader(true);
    return client;
}

}  // namespace sarn
