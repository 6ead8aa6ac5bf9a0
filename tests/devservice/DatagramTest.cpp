#include "RunningService.h"

#include "platform/CodePage.h"

#include <QDeadlineTimer>
#include <QNetworkDatagram>
#include <QThread>
#include <QUdpSocket>

#include <gtest/gtest.h>

namespace sarndev::test {
namespace {

// Polls `users` until its online list does (or does not) hold the line.
bool OnlineListShows(const RunningService& service, const std::string& line, bool present) {
    QDeadlineTimer deadline(5000);
    do {
        RunningService::Admin users = service.Run({QStringLiteral("users")});
        std::string online =
            users.out.substr(std::min(users.out.find("online:"), users.out.size()));
        if ((online.find(line) != std::string::npos) == present)
            return true;
        QThread::msleep(20);
    } while (!deadline.hasExpired());
    return false;
}

TEST(ServiceDatagrams, HelloIsRecordedPushArrivesAsGbkGoodbyeForgets) {
    RunningService service;
    QUdpSocket client;
    ASSERT_TRUE(client.bind(QHostAddress::LocalHost, 0));
    const QByteArray gbkName = sarn::ToAnsi(QStringLiteral("张三"));
    const QHostAddress host(QStringLiteral("127.0.0.1"));
    const std::string address = "127.0.0.1:" + std::to_string(client.localPort());

    client.writeDatagram("sarn1" + gbkName, host, service.UdpPort());
    ASSERT_TRUE(OnlineListShows(service, "  张三\t" + address + "\t", true));

    RunningService::Admin push =
        service.Run({QStringLiteral("push"), QStringLiteral("张三"), QStringLiteral("标题"),
                     QStringLiteral("内容 €"), QStringLiteral("2026-01-01 08:00:00")});
    ASSERT_EQ(push.exitCode, 0) << push.err;
    ASSERT_TRUE(client.waitForReadyRead(5000));
    EXPECT_EQ(client.receiveDatagram().data(),
              sarn::ToAnsi(QStringLiteral("标题\r\n内容 €\r\n2026-01-01 08:00:00")));

    // Without a time the push carries the current one.
    ASSERT_EQ(service
                  .Run({QStringLiteral("push"), QStringLiteral("张三"), QStringLiteral("T"),
                        QStringLiteral("B")})
                  .exitCode,
              0);
    ASSERT_TRUE(client.waitForReadyRead(5000));
    QByteArray withTime = client.receiveDatagram().data();
    EXPECT_TRUE(withTime.startsWith("T\r\nB\r\n20")) << withTime.constData();
    EXPECT_EQ(withTime.size(), 6 + 19);

    client.writeDatagram("sarn3" + gbkName, host, service.UdpPort());
    ASSERT_TRUE(OnlineListShows(service, "张三", false));
    EXPECT_EQ(service
                  .Run({QStringLiteral("push"), QStringLiteral("张三"), QStringLiteral("T"),
                        QStringLiteral("B")})
                  .exitCode,
              1);
}

TEST(ServiceDatagrams, LaterHelloMovesTheUserAndOthersAreIgnored) {
    RunningService service;
    QUdpSocket first;
    QUdpSocket second;
    ASSERT_TRUE(first.bind(QHostAddress::LocalHost, 0));
    ASSERT_TRUE(second.bind(QHostAddress::LocalHost, 0));
    const QHostAddress host(QStringLiteral("127.0.0.1"));
    first.writeDatagram(QByteArray("sarn1abc"), host, service.UdpPort());
    first.writeDatagram(QByteArray("sarn9xyz"), host, service.UdpPort());
    first.writeDatagram(QByteArray("sarn"), host, service.UdpPort());
    second.writeDatagram(QByteArray("sarn1abc"), host, service.UdpPort());
    second.writeDatagram(QByteArray("sarn1"), host, service.UdpPort());
    ASSERT_TRUE(OnlineListShows(
        service, "  abc\t127.0.0.1:" + std::to_string(second.localPort()) + "\t", true));
    ASSERT_TRUE(OnlineListShows(service, "  \t127.0.0.1:", true));  // the empty name
    EXPECT_TRUE(OnlineListShows(service, "xyz", false));
}

}  // namespace
}  // namespace sarndev::test
