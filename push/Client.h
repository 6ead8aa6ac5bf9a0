#pragma once

#include "platform/udp/UdpServer.h"
#include "push/HelloChannel.h"

#include <QByteArray>
#include <QList>
#include <QPointer>
#include <QString>

#include <chrono>
#include <functional>
#include <memory>

namespace sarn {

struct SessionState;
class SoundPlayer;
class TFormTips;

// The UDP channel of a session: hello and goodbye to the service host, and a popup with the
// chime for every datagram that reaches the socket, from whichever sender.
class TClient : public HelloChannel {
  public:
    using PopupFactory = std::function<TFormTips*()>;

    // hostName is looked up afresh for every send. The factory's popups are placed and shaped
    // but not shown; it may throw, and the datagram is then dropped before the sound.
    TClient(SessionState& state, QString hostName, std::shared_ptr<SoundPlayer> sound,
            PopupFactory createPopup, std::chrono::milliseconds listenerWait = kListenerWait,
            quint16 destinationPort = kDestinationPort);
    ~TClient() override;

    static constexpr std::chrono::milliseconds kListenerWait{1000};
    static constexpr quint16 kDestinationPort = 16888;

    // Opens the socket and starts the listener. Throws SocketError.
    void DataModuleCreate();
    void DataModuleDestroy();

    void SendHello() override;
    void SendGoodbye() override;
    // Never fails towards the caller: lookup and socket errors are swallowed.
    void SendDatagram(const QByteArray& text);

    void UDPServerUDPRead(const UdpDatagram& datagram);

    quint16 LocalPort() const { return UDPServer.LocalPort(); }

  private:
    SessionState& state_;
    const QString hostName_;
    const std::shared_ptr<SoundPlayer> sound_;
    const PopupFactory createPopup_;
    const quint16 destinationPort_;
    const QByteArray popupSound_;
    QList<QPointer<TFormTips>> popups_;  // the popups it made that have not freed themselves
    UdpServer UDPServer;                 // last: its listener stops before the rest goes
};

}  // namespace sarn
