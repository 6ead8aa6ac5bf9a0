#include "core/SessionState.h"
#include "platform/sound/SoundPlayer.h"
#include "push/Client.h"
#include "tests/push/Waiting.h"

#include <QHostAddress>
#include <QUdpSocket>

#include <gtest/gtest.h>

namespace sarn {
namespace {

std::pair<QByteArray, quint16> Datagram(const QByteArray& bytes, quint16 from) {
    return {bytes, from};
}

class SilentPlayer : public SoundPlayer {
  public:
    void PlaySync(const QByteArray&) override {}
};

// The service host's side of the hello: a socket on loopback that the client sends to.
class HelloTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(service_.bind(QHostAddress::LocalHost, 0)); }

    std::unique_ptr<TClient> MakeClient(const QString& host) {
        return std::make_unique<TClient>(
            state_, host, std::make_shared<SilentPlayer>(), [] { return nullptr; },
            TClient::kListenerWait, service_.localPort());
    }

    // The next datagram the service gets, and the port it came from.
    std::pair<QByteArray, quint16> Receive() {
        std::pair<QByteArray, quint16> got;
        const bool arrived = test::ProcessEventsUntil([&] {
            if (!service_.hasPendingDatagrams()) {
                return false;
            }
            got.first.resize(static_cast<qsizetype>(service_.pendingDatagramSize()));
            service_.readDatagram(got.first.data(), got.first.size(), nullptr, &got.second);
            return true;
        });
        EXPECT_TRUE(arrived);
        return got;
    }

    SessionState state_;
    QUdpSocket service_;
};

TEST_F(HelloTest, HelloAndGoodbyeCarryThePrefixAndTheGbkUserNameFromTheListeningPort) {
    const struct {
        QString user;
        QByteArray name;
    } cases[] = {{QStringLiteral("abc"), "abc"},
                 {QString(), ""},
                 {QStringLiteral("张三"), "\xd5\xc5\xc8\xfd"}};
    auto client = MakeClient(QStringLiteral("localhost"));
    client->DataModuleCreate();
    const quint16 listening = client->LocalPort();
    for (const auto& c : cases) {
        state_.UserName = c.user;
        client->SendHello();
        EXPECT_EQ(Receive(), Datagram(QByteArray("sarn1") + c.name, listening));
        client->SendGoodbye();
        EXPECT_EQ(Receive(), Datagram(QByteArray("sarn3") + c.name, listening));
    }
    EXPECT_EQ(client->LocalPort(), listening);
}

TEST_F(HelloTest, AHelloOpensAClosedChannel) {
    state_.UserName = QStringLiteral("abc");
    auto client = MakeClient(QStringLiteral("127.0.0.1"));
    client->SendHello();
    ASSERT_NE(client->LocalPort(), 0);
    EXPECT_EQ(Receive(), Datagram("sarn1abc", client->LocalPort()));
}

TEST_F(HelloTest, AnUnresolvableHostFailsSilently) {
    auto client = MakeClient(QStringLiteral("no-such-host.invalid"));
    client->DataModuleCreate();
    EXPECT_NO_THROW(client->SendHello());
    EXPECT_NO_THROW(client->SendGoodbye());
    EXPECT_FALSE(service_.hasPendingDatagrams());
}

}  // namespace
}  // namespace sarn
