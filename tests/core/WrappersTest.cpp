#include "service/Contract.h"
#include "service/InvokeRegistry.h"
#include "service/ServiceHost.h"
#include "service/SoapErrors.h"
#include "service/Wrappers.h"
#include "tests/support/FakeSarnSoap.h"

#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace sarn {
namespace {

using testing::FakeSarnSoap;

// Every wrapper, called once, with its result written as text.
QStringList CallEveryWrapper() {
    SvcAddLogin(7, QStringLiteral("1.2.3.4"));
    SvcAddLogOut(7, QStringLiteral("1.2.3.4"));
    return {SvcGetNewVersionNumber(),
            SvcEncryptDES(QStringLiteral("x")),
            SvcDecryptDES(QStringLiteral("x")),
            SvcGetRemoteIP(),
            SvcGetNewURL(),
            SvcGetNews(),
            QString::number(SvcLogin(QStringLiteral("u"), QStringLiteral("p"))),
            QString::number(SvcRegister(QStringLiteral("u"), QStringLiteral("p"),
                                        QStringLiteral("m"), QStringLiteral("e"),
                                        QStringLiteral("省"), QStringLiteral("市"))),
            SvcGetCustomerProduct(7)};
}

const QStringList kNeutral{{}, {}, {}, {}, {}, {}, QStringLiteral("0"), QStringLiteral("0"), {}};

class ServiceClientScope {
  public:
    explicit ServiceClientScope(SarnSoapProvider* client) { SetServiceClient(client); }
    ~ServiceClientScope() { SetServiceClient(nullptr); }
};

// A client whose binding itself fails, as when the service description cannot be loaded.
class UnbindableClient : public SarnSoapProvider {
  public:
    sarnSoap& GetsarnSoap() override { throw DescriptionError(QStringLiteral("no description")); }
};

// A service that fails in every way a call can fail, by turns.
class FailingService : public FakeSarnSoap {
  public:
    int turn = 0;
    sarnSoap& GetsarnSoap() override {
        switch (turn++ % 4) {
            case 0:
                throw ServiceFault(QStringLiteral("Server was unable to process request."));
            case 1:
                throw MessageError(QStringLiteral("malformed"));
            case 2:
                throw std::runtime_error("conversion");
            default:
                return *this;  // then the call itself fails: the fake has no answers
        }
    }
};

TEST(WrappersTest, EveryFailureEndsInTheNeutralResult) {
    EXPECT_EQ(CallEveryWrapper(), kNeutral) << "no client";
    {
        UnbindableClient client;
        const ServiceClientScope scope(&client);
        EXPECT_EQ(CallEveryWrapper(), kNeutral) << "binding fails";
    }
    {
        FailingService service;
        service.encrypt = nullptr;
        service.decrypt = nullptr;
        service.remoteIp = nullptr;
        const ServiceClientScope scope(&service);
        for (int round = 0; round < 4; ++round) {
            EXPECT_EQ(CallEveryWrapper(), kNeutral) << "round " << round;
        }
    }
}

TEST(WrappersTest, PassAnswersThroughUnchangedWithArgumentsInOrder) {
    FakeSarnSoap service;
    service.versionNumber = [] { return QStringLiteral("2.0.1"); };
    service.newUrl = [] { return QStringLiteral("http://portal/"); };
    service.news = [] { return QStringLiteral("bmV3cw=="); };
    service.customerProduct = [](qint32 id) { return QStringLiteral("P%1").arg(id); };
    service.registerAccount = [](const QStringList&) { return 3; };
    const ServiceClientScope scope(&service);

    EXPECT_EQ(CallEveryWrapper(),
              (QStringList{QStringLiteral("2.0.1"), QStringLiteral("enc:x"), QString(),
                           QStringLiteral("10.1.2.3"), QStringLiteral("http://portal/"),
                           QStringLiteral("bmV3cw=="), QStringLiteral("0"), QStringLiteral("3"),
                           QStringLiteral("P7")}));
    EXPECT_EQ(service.calls.mid(0, 2), (QStringList{QStringLiteral("AddLogin(7,1.2.3.4)"),
                                                    QStringLiteral("AddLogOut(7,1.2.3.4)")}));
    EXPECT_TRUE(service.calls.contains(QStringLiteral("Register(u,p,m,e,省,市)")));

    // Login results of every sign come back as the service gave them; only a failure is 0.
    for (const qint32 answer : {-1, 0, 1, 2147483647}) {
        service.login = [answer](const QString&, const QString&) { return answer; };
        EXPECT_EQ(SvcLogin(QStringLiteral("u"), QStringLiteral("p")), answer);
    }
}

TEST(ContractTest, OperationsAndParametersInDeclarationOrder) {
    QStringList operations;
    for (const SoapOperation& operation : SarnSoapOperations()) {
        QStringList parameters;
        for (const SoapParameter& parameter : operation.parameters) {
            parameters << QString::fromUtf16(parameter.name);
        }
        operations << QString::fromUtf16(operation.name) + u'(' + parameters.join(u',') + u')';
    }
    EXPECT_EQ(
        operations,
        (QStringList{QStringLiteral("AddLogin(customerID,ip)"),
                     QStringLiteral("AddLogOut(customerID,ip)"),
                     QStringLiteral("GetNewVersionNumber()"), QStringLiteral("GetNewUpdateFile()"),
                     QStringLiteral("EncryptDES(encryptString)"),
                     QStringLiteral("EncryptDESCustomDecryptKey(decryptKey,encryptString)"),
                     QStringLiteral("DecryptDES(encryptString)"),
                     QStringLiteral("DecryptDESCustomDecryptKey(decryptKey,encryptString)"),
                     QStringLiteral("GetRemoteIP()"), QStringLiteral("GetOldURL()"),
                     QStringLiteral("GetNewURL()"), QStringLiteral("GetNews()"),
                     QStringLiteral("Login(loginName,password)"),
                     QStringLiteral("Register(loginName,password,mobile,email,provinces,city)"),
                     QStringLiteral("GetCustomerProduct(customerID)")}));
    const SoapOperation* login = FindSarnSoapOperation(QStringLiteral("Login"));
    ASSERT_NE(login, nullptr);
    EXPECT_EQ(login->result, SoapType::Integer);
    EXPECT_EQ(FindSarnSoapOperation(QStringLiteral("AddLogout")), nullptr);  // the case counts
}

TEST(ContractTest, RegistrationAndAddressesDeriveFromTheOneHost) {
    const ServiceHost host(QStringLiteral("example.org:9000"));
    EXPECT_EQ(host.ServiceNamespace(), QStringLiteral("http://example.org:9000/ZODevEduriza3.0.1"));
    EXPECT_EQ(host.DescriptionLocation(),
              QStringLiteral("http://example.org:9000/SarnWebService/sarn.asmx?wsdl"));
    EXPECT_EQ(host.HostName(), QStringLiteral("example.org"));
    EXPECT_EQ(ServiceHost(QStringLiteral("[::1]:8088")).HostName(), QStringLiteral("::1"));
    EXPECT_EQ(ServiceHost(QStringLiteral("sarn.test")).HostName(), QStringLiteral("sarn.test"));

    RegisterSarnSoap(host.ServiceNamespace());
    const auto registration = InvokeRegistry::Lookup(QStringLiteral("sarnSoap"));
    ASSERT_TRUE(registration.has_value());
    EXPECT_EQ(registration->descriptionEncoding, QStringLiteral("utf-8"));
    EXPECT_TRUE(registration->documentStyle);
    EXPECT_EQ(registration->DefaultSoapActionFor(QStringLiteral("Login")),
              QStringLiteral("http://example.org:9000/ZODevEduriza3.0.1/Login"));
    EXPECT_FALSE(InvokeRegistry::Lookup(QStringLiteral("other")).has_value());
}

}  // namespace
}  // namespace sarn
