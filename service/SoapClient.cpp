#include "service/SoapClient.h"

#include "platform/http/HttpPostSession.h"
#include "service/Contract.h"
#include "service/InvokeRegistry.h"
#include "service/ServiceDescription.h"
#include "service/ServiceHost.h"
#include "service/SoapEnvelope.h"
#include "service/SoapErrors.h"
#include "service/SoapReply.h"

#include <QFile>
#include <QHash>
#include <QUrl>

#include <initializer_list>

namespace sarn {

namespace {

constexpr char16_t kDefaultAgent[] = u"Tolvern SOAP 1.2";

bool IsHttpLocation(const QString& location) {
    return location.startsWith(QStringLiteral("http://"), Qt::CaseInsensitive) ||
           location.startsWith(QStringLiteral("https://"), Qt::CaseInsensitive);
}

QString StatusMessage(const http::HttpReply& reply, const QString& url) {
    return QStringLiteral("%1 (%2) - '%3'")
        .arg(QString::fromUtf8(reply.statusText), QString::number(reply.status), url);
}

bool IsRefusedStatus(int status) {
    return status >= 300 && status != 500;
}

}  // namespace

class SoapClient::Impl : public sarnSoap {
  public:
    explicit Impl(SoapClientSeams seams) : seams_(seams) {}

    QString location, service, port, agent = QString::fromUtf16(kDefaultAgent);
    bool utf8InHeader = false;

    void ForgetDescription() {
        description_.reset();
        prepared_.clear();
    }
    void ForgetLookups() { prepared_.clear(); }
    // The session carries the agent text, so a new agent takes a new session.
    void ForgetSession() { session_.reset(); }

    void Bind() {
        if (registration_) {
            return;
        }
        registration_ = InvokeRegistry::Lookup(QStringLiteral("sarnSoap"));
        if (!registration_) {
            throw DescriptionError(QStringLiteral("Interface sarnSoap is not registered"));
        }
        // The document style of the registration decides the message shape; sarnSoap is
        // registered as document and not literal, so parameters are wrapped in the operation
        // element. That is the only shape this client writes.
    }

    void AddLogin(qint32 customerID, const QString& ip) override {
        Call(u"AddLogin", {customerID, ip});
    }
    void AddLogOut(qint32 customerID, const QString& ip) override {
        Call(u"AddLogOut", {customerID, ip});
    }
    QString GetNewVersionNumber() override { return Text(u"GetNewVersionNumber", {}); }
    QByteArray GetNewUpdateFile() override { return std::move(Call(u"GetNewUpdateFile", {}).utf8); }
    QString EncryptDES(const QString& encryptString) override {
        return Text(u"EncryptDES", {encryptString});
    }
    QString EncryptDESCustomDecryptKey(const QString& decryptKey,
                                       const QString& encryptString) override {
        return Text(u"EncryptDESCustomDecryptKey", {decryptKey, encryptString});
    }
    QString DecryptDES(const QString& encryptString) override {
        return Text(u"DecryptDES", {encryptString});
    }
    QString DecryptDESCustomDecryptKey(const QString& decryptKey,
                                       const QString& encryptString) override {
        return Text(u"DecryptDESCustomDecryptKey", {decryptKey, encryptString});
    }
    QString GetRemoteIP() override { return Text(u"GetRemoteIP", {}); }
    QString GetOldURL() override { return Text(u"GetOldURL", {}); }
    QString GetNewURL() override { return Text(u"GetNewURL", {}); }
    QString GetNews() override { return Text(u"GetNews", {}); }
    qint32 Login(const QString& loginName, const QString& password) override {
        return Integer(u"Login", {loginName, password});
    }
    qint32 Register(const QString& loginName, const QString& password, const QString& mobile,
                    const QString& email, const QString& provinces, const QString& city) override {
        return Integer(u"Register", {loginName, password, mobile, email, provinces, city});
    }
    QString GetCustomerProduct(qint32 customerID) override {
        return Text(u"GetCustomerProduct", {customerID});
    }

  private:
    QString Text(const char16_t* operation, std::initializer_list<SoapArgument> arguments) {
        return QString::fromUtf8(Call(operation, arguments).utf8);
    }

    qint32 Integer(const char16_t* operation, std::initializer_list<SoapArgument> arguments) {
        const SoapResultValue value = Call(operation, arguments);
        return value.present ? SoapIntegerValue(value.utf8) : 0;
    }

    SoapResultValue Call(const char16_t* name, std::initializer_list<SoapArgument> arguments) {
        Bind();
        const QString operationName = QString::fromUtf16(name);
        const SoapOperation* operation = FindSarnSoapOperation(operationName);
        Q_ASSERT(operation != nullptr);

        const Prepared& prepared = Prepare(operationName);
        const QByteArray request =
            BuildSoapRequest(*operation, prepared.operationNamespace,
                             std::span<const SoapArgument>(arguments.begin(), arguments.size()));
        http::HttpReply reply = Send(prepared.endpoint, prepared.action, request);
        return ReadSoapReply(std::move(reply.body), operation->result != SoapType::None);
    }

    // What the description says for one operation. The description does not change once
    // loaded, so this is looked up once per operation rather than walked on every call.
    struct Prepared {
        QString operationNamespace;
        QString action;
        QString endpoint;
    };

    const Prepared& Prepare(const QString& operationName) {
        if (const auto found = prepared_.constFind(operationName); found != prepared_.constEnd()) {
            return *found;
        }
        ServiceDescription& description = Description();
        const ServiceDescription::OperationBinding binding =
            description.LookupOperation(service, port, operationName);
        Prepared prepared;
        prepared.operationNamespace = binding.inputNamespace.isEmpty()
                                          ? registration_->serviceNamespace
                                          : binding.inputNamespace;
        prepared.action = binding.soapAction.isEmpty()
                              ? registration_->DefaultSoapActionFor(operationName)
                              : binding.soapAction;
        const std::optional<QString> endpoint = description.LookupAddress(service, port);
        if (!endpoint) {
            throw TransportError(
                QStringLiteral(
                    "Unable to retrieve the URL endpoint for Service/Port '%1'/'%2' from WSDL '%3'")
                    .arg(service, port, location));
        }
        const QUrl url(*endpoint);
        const QString scheme = url.scheme().toLower();
        if (!url.isValid() ||
            (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
            throw TransportError(
                QStringLiteral("Invalid url '%1' - only supports 'http' and 'https' schemes")
                    .arg(*endpoint));
        }

        prepared.endpoint = *endpoint;
        return *prepared_.insert(operationName, prepared);
    }

    http::HttpReply Send(const QString& endpoint, const QString& action,
                         const QByteArray& request) {
        if (!session_) {
            session_ =
                std::make_unique<http::HttpPostSession>(agent, seams_.timeouts, seams_.credentials);
        }
        const QList<QByteArray> headers{
            "SOAPAction: \"" + action.toUtf8() + '"',
            utf8InHeader ? QByteArray("Content-Type: text/xml; charset=\"utf-8\"")
                         : QByteArray("Content-Type: text/xml")};
        http::HttpReply reply;
        try {
            reply = session_->Post(endpoint, headers, request, /*ignoreInvalidCerts=*/true);
        } catch (const http::HttpFailure& failure) {
            throw TransportError(QStringLiteral("%1 - URL:%2 - SOAPAction:%3")
                                     .arg(failure.Message(), endpoint,
                                          action.isEmpty() ? QStringLiteral("\"\"") : action));
        }
        if (IsRefusedStatus(reply.status)) {
            session_->Close();
            throw TransportError(StatusMessage(reply, endpoint), reply.status);
        }
        const QByteArray type = reply.contentType;
        if (type.compare("text/plain", Qt::CaseInsensitive) == 0 ||
            type.compare("text/html", Qt::CaseInsensitive) == 0) {
            session_->Close();
            throw TransportError(QStringLiteral("Received content of invalid Content-Type "
                                                "setting: %1 - SOAP expects \"text/xml\"")
                                     .arg(QString::fromUtf8(type)));
        }
        return reply;
    }

    QByteArray Fetch(const QString& where) {
        const QString trimmed = where.trimmed();
        QByteArray bytes;
        if (IsHttpLocation(trimmed)) {
            http::HttpReply reply =
                http::HttpGet(trimmed, QString::fromUtf16(kDefaultAgent), seams_.timeouts);
            if (IsRefusedStatus(reply.status)) {
                throw TransportError(StatusMessage(reply, trimmed), reply.status);
            }
            bytes = std::move(reply.body);
        } else {
            QFile file(trimmed);
            if (!file.open(QIODevice::ReadOnly)) {
                throw TransportError(file.errorString());
            }
            if (file.size() > static_cast<qint64>(http::kMaxReplyBytes)) {
                throw TransportError(QStringLiteral("The document is larger than 1 GiB"));
            }
            bytes = file.readAll();
        }
        if (bytes.isEmpty()) {
            throw MessageError(QStringLiteral("Empty document"));
        }
        return bytes;
    }

    ServiceDescription& Description() {
        if (!description_) {
            try {
                auto main = std::make_unique<WsdlDocument>(Fetch(location));
                description_ = std::make_unique<ServiceDescription>(
                    location, std::move(main),
                    [this](const QString& where) { return Fetch(where); });
            } catch (const SarnError& error) {
                throw DescriptionError(
                    QStringLiteral("Unable to load WSDL File/Location: %1.  Error [%2]")
                        .arg(location, error.Message()));
            }
        }
        return *description_;
    }

    SoapClientSeams seams_;
    std::optional<InterfaceRegistration> registration_;
    std::unique_ptr<ServiceDescription> description_;
    QHash<QString, Prepared> prepared_;
    std::unique_ptr<http::HttpPostSession> session_;
};

SoapClient::SoapClient() : SoapClient(SoapClientSeams{}) {}
SoapClient::SoapClient(SoapClientSeams seams) : impl_(std::make_unique<Impl>(seams)) {}
SoapClient::~SoapClient() = default;

void SoapClient::SetWSDLLocation(const QString& location) {
    impl_->location = location;
    impl_->service.clear();
    impl_->port.clear();
    impl_->ForgetDescription();
}
void SoapClient::SetService(const QString& service) {
    impl_->service = service;
    impl_->ForgetLookups();
}
void SoapClient::SetPort(const QString& port) {
    impl_->port = port;
    impl_->ForgetLookups();
}
void SoapClient::SetAgent(const QString& agent) {
    impl_->agent = agent;
    impl_->ForgetSession();
}
void SoapClient::SetUseUTF8InHeader(bool on) {
    impl_->utf8InHeader = on;
}
sarnSoap& SoapClient::GetsarnSoap() {
    impl_->Bind();
    return *impl_;
}

std::unique_ptr<SoapClient> MakeSarnSoapClient(const ServiceHost& host) {
    return MakeSarnSoapClient(host, SoapClientSeams{});
}

std::unique_ptr<SoapClient> MakeSarnSoapClient(const ServiceHost& host, SoapClientSeams seams) {
    auto client = std::make_unique<SoapClient>(seams);
    client->SetWSDLLocation(host.DescriptionLocation());
    client->SetService(QStringLiteral("sarn"));
    client->SetPort(QStringLiteral("sarnSoap"));
    client->SetAgent(QStringLiteral("Tolvern SOAP 1.2"));
    client->SetUseUTF8InHeader(true);
    return client;
}

}  // namespace sarn
