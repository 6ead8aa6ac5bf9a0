#include "platform/udp/UdpServer.h"
#include "tests/push/Waiting.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QUdpSocket>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

namespace sarn {
namespace {

using namespace std::chrono_literals;
using test::ProcessEventsUntil;

// A sender elsewhere on the machine, on a port of its own.
class Peer {
  public:
    Peer() { socket_.bind(QHostAddress::LocalHost, 0); }
    void SendTo(quint16 port, const QByteArray& bytes) {
        ASSERT_EQ(socket_.writeDatagram(bytes, QHostAddress::LocalHost, port), bytes.size());
    }
    quint16 Port() const { return socket_.localPort(); }

  private:
    QUdpSocket socket_;
};

TEST(UdpServer, DeliversWholeDatagramsUpToTheBufferAndDropsLongerOnes) {
    std::vector<UdpDatagram> got;
    UdpServer server([&](const UdpDatagram& d) { got.push_back(d); }, 1000ms);
    server.Open();
    ASSERT_NE(server.LocalPort(), 0);
    Peer peer;
    peer.SendTo(server.LocalPort(), QByteArray(8193, 'x'));
    peer.SendTo(server.LocalPort(), QByteArray(8192, 'y'));
    peer.SendTo(server.LocalPort(), QByteArray());

    ASSERT_TRUE(ProcessEventsUntil([&] { return got.size() >= 2; }));
    EXPECT_EQ(got[0].data, QByteArray(8192, 'y'));
    EXPECT_EQ(got[0].peerAddress, 0x7f000001u);
    EXPECT_EQ(got[0].peerPort, peer.Port());
    EXPECT_TRUE(got[1].data.isEmpty());
    ProcessEventsUntil([] { return false; }, 50);
    EXPECT_EQ(got.size(), 2u);
}

TEST(UdpServer, HandsOverOneDatagramAtATimeInOrderEvenFromNestedLoops) {
    QByteArray order;
    int depth = 0;
    int deepest = 0;
    UdpServer server(
        [&](const UdpDatagram& d) {
            deepest = std::max(deepest, ++depth);
            order += d.data;
            // Like a popup's slide: a nested loop that keeps processing events for a while.
            ProcessEventsUntil([] { return false; }, 60);
            --depth;
        },
        1000ms);
    server.Open();
    Peer peer;
    for (const char* text : {"1", "2", "3"}) {
        peer.SendTo(server.LocalPort(), QByteArray(text));
    }
    ASSERT_TRUE(ProcessEventsUntil([&] { return order.size() == 3 && depth == 0; }));
    EXPECT_EQ(order, "123");
    EXPECT_EQ(deepest, 1);
}

TEST(UdpServer, CloseRunsAQueuedHandOverAndEndsTheListener) {
    int handled = 0;
    UdpServer server([&](const UdpDatagram&) { ++handled; }, 1000ms);
    server.Open();
    Peer peer;
    peer.SendTo(server.LocalPort(), "queued");
    // No events are processed here: the listener queues the hand-over and waits for it.
    std::this_thread::sleep_for(100ms);
    server.Close();
    EXPECT_FALSE(server.IsOpen());
    EXPECT_EQ(handled, 1);
    QCoreApplication::processEvents();  // the queued call finds its work done
    EXPECT_EQ(handled, 1);
}

TEST(UdpServer, CloseFromInsideTheHandlerLetsTheListenerGo) {
    bool closedInside = false;
    UdpServer* self = nullptr;
    UdpServer server(
        [&](const UdpDatagram&) {
            self->Close();
            closedInside = !self->IsOpen();
        },
        1000ms);
    self = &server;
    server.Open();
    Peer peer;
    peer.SendTo(server.LocalPort(), "close me");
    ASSERT_TRUE(ProcessEventsUntil([&] { return closedInside; }));
}

TEST(UdpServer, SendingOnAClosedSocketOpensItAndKeepsOnePort) {
    std::vector<QByteArray> heard;
    QUdpSocket listener;
    ASSERT_TRUE(listener.bind(QHostAddress::LocalHost, 0));
    UdpServer server([](const UdpDatagram&) {}, 1000ms);
    ASSERT_FALSE(server.IsOpen());

    server.SendTo(0x7f000001, listener.localPort(), "one");
    ASSERT_TRUE(server.IsOpen());
    const quint16 port = server.LocalPort();
    server.SendTo(0x7f000001, listener.localPort(), "two");
    EXPECT_EQ(server.LocalPort(), port);

    ASSERT_TRUE(ProcessEventsUntil([&] {
        while (listener.hasPendingDatagrams()) {
            QHostAddress from;
            quint16 fromPort = 0;
            QByteArray bytes(static_cast<qsizetype>(listener.pendingDatagramSize()), '\0');
            listener.readDatagram(bytes.data(), bytes.size(), &from, &fromPort);
            EXPECT_EQ(fromPort, port);
            heard.push_back(bytes);
        }
        return heard.size() == 2;
    }));
    EXPECT_EQ(heard[0], "one");
    EXPECT_EQ(heard[1], "two");
}

TEST(UdpServer, CloseDoesNotSitOutTheListenersWait) {
    UdpServer server([](const UdpDatagram&) {}, 60s);
    server.Open();
    server.Close();  // would take a minute if the listener had to finish its wait
    server.Open();
    EXPECT_TRUE(server.IsOpen());
}

}  // namespace
}  // namespace sarn
