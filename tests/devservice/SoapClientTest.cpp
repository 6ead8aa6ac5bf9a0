#include "RunningService.h"

#include "service/InvokeRegistry.h"
#include "service/ServiceHost.h"
#include "service/SoapClient.h"
#include "service/SoapErrors.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace sarndev::test {
namespace {

// The project's own client, configured as the program configures it, against the real service:
// every operation of the contract once.
TEST(ServiceWithProjectSoapClient, CallsEveryOperation) {
    RunningService service;
    QTemporaryDir dir;
    QFile image(dir.filePath(QStringLiteral("new.exe")));
    ASSERT_TRUE(image.open(QIODevice::WriteOnly));
    image.write(QByteArray("MZ\x90\x00 image", 10));
    image.close();
    ASSERT_EQ(
        service.Run({QStringLiteral("publish"), QStringLiteral("3.1"), image.fileName()}).exitCode,
        0);

    const sarn::ServiceHost host(QString::fromStdString(service.Host()));
    sarn::RegisterSarnSoap(host.ServiceNamespace());
    std::unique_ptr<sarn::SoapClient> client = sarn::MakeSarnSoapClient(host);
    sarn::sarnSoap& soap = client->GetsarnSoap();

    const QString digest = QStringLiteral("0123456789abcdef");
    const qint32 id =
        soap.Register(QStringLiteral("张 三&"), digest, QStringLiteral("13800000000"),
                      QStringLiteral("z@x.cn"), QStringLiteral("广东"), QStringLiteral("深圳"));
    EXPECT_GT(id, 0);
    EXPECT_EQ(soap.Register(QStringLiteral("张 三&"), digest, {}, {}, {}, {}), -1);
    EXPECT_EQ(soap.Login(QStringLiteral("张 三&"), digest), id);
    EXPECT_EQ(soap.Login(QStringLiteral("张 三&"), QStringLiteral("x")), -1);
    EXPECT_EQ(soap.GetCustomerProduct(id), QStringLiteral("Sarn资讯终端 专业版 - 张 三&"));

    const QString ip = soap.GetRemoteIP();
    EXPECT_EQ(ip, QStringLiteral("127.0.0.1"));
    soap.AddLogin(id, ip);
    soap.AddLogOut(id, QString());

    const QString secret = QStringLiteral("密码 <&> 123\r\nzwei");
    EXPECT_EQ(soap.DecryptDES(soap.EncryptDES(secret)), secret);
    const QString key = QStringLiteral("8bytekey");
    EXPECT_EQ(soap.DecryptDESCustomDecryptKey(key, soap.EncryptDESCustomDecryptKey(key, secret)),
              secret);
    EXPECT_THROW(soap.DecryptDES(QStringLiteral("garbage")), sarn::ServiceFault);

    const QString base = QStringLiteral("http://") + host.HostAndPort();
    EXPECT_EQ(soap.GetNewURL(), base + QStringLiteral("/portal/index.html"));
    EXPECT_EQ(soap.GetOldURL(), base + QStringLiteral("/portal/classic.html"));
    EXPECT_FALSE(soap.GetNews().isEmpty());
    EXPECT_EQ(soap.GetNewVersionNumber(), QStringLiteral("3.1"));
    EXPECT_EQ(soap.GetNewUpdateFile(), QByteArray("MZ\x90\x00 image", 10).toBase64());

    RunningService::Admin events = service.Run({QStringLiteral("events")});
    EXPECT_NE(events.out.find("\tlogin\t" + std::to_string(id) + "\t127.0.0.1\t127.0.0.1\n"),
              std::string::npos)
        << events.out;
}

}  // namespace
}  // namespace sarndev::test
