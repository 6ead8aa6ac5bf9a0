#include "push/Client.h"

#include "core/Helpers.h"
#include "core/SessionState.h"
#include "platform/CodePage.h"
#include "platform/sound/SoundPlayer.h"
#include "platform/udp/HostResolver.h"
#include "push/FormTips.h"
#include "push/LineSplit.h"
#include "push/TextLabel.h"

#include <QBuffer>
#include <QFile>

namespace sarn {

namespace {

QByteArray ReadResource(const QString& name) {
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class TooFewLines : public SarnError {
  public:
    TooFewLines() : SarnError(QStringLiteral("A notification needs three lines")) {}
};

}  // namespace

TClient::TClient(SessionState& state, QString hostName, std::shared_ptr<SoundPlayer> sound,
                 PopupFactory createPopup, std::chrono::milliseconds listenerWait,
                 quint16 destinationPort)
    : state_(state)
    , hostName_(std::move(hostName))
    , sound_(std::move(sound))
    , createPopup_(std::move(createPopup))
    , destinationPort_(destinationPort)
    , popupSound_(ReadResource(QStringLiteral(":/push/popupSound.wav")))
    , UDPServer([this](const UdpDatagram& datagram) { UDPServerUDPRead(datagram); }, listenerWait) {
}

TClient::~TClient() {
    DataModuleDestroy();
    for (const QPointer<TFormTips>& popup : popups_) {
        if (popup) {
            popup->close();  // frees itself once none of its slides runs
        }
    }
}

void TClient::DataModuleCreate() {
    UDPServer.Open();
}

void TClient::DataModuleDestroy() {
    UDPServer.Close();
}

void TClient::SendHello() {
    SendDatagram(QByteArrayLiteral("sarn1") + ToAnsi(state_.UserName));
}

void TClient::SendGoodbye() {
    SendDatagram(QByteArrayLiteral("sarn3") + ToAnsi(state_.UserName));
}

void TClient::SendDatagram(const QByteArray& text) {
    try {
        const std::uint32_t address = ResolveIPv4(hostName_);
        UDPServer.SendTo(address, destinationPort_, text);
    } catch (const std::exception&) {  // the next hello comes with the next tick
    }
}

void TClient::UDPServerUDPRead(const UdpDatagram& datagram) {
    QList<QByteArray> lines;
    // A popup that cannot be made ends the handler here: the listener drops the datagram.
    const QPointer<TFormTips> popup(createPopup_());
    FormTips = popup.data();
    popups_.removeIf([](const QPointer<TFormTips>& p) { return p.isNull(); });
    popups_.append(popup);
    try {
        try {
            sound_->PlaySync(popupSound_);
        } catch (...) {  // a sound that cannot be played is passed over
        }
        QBuffer stream;
        stream.setData(datagram.data);
        stream.open(QIODevice::ReadOnly);
        lines = SplitNotificationLines(StreamToText(stream));
        if (lines.size() < 3 || popup.isNull()) {
            throw TooFewLines();
        }
        // Through the local reference: a popup closing meanwhile clears FormTips.
        popup->txtTitle->setText(FromAnsi(lines[0]));
        popup->txtBody->setText(FromAnsi(lines[1]));
        popup->txtTime->setText(FromAnsi(lines[2]));
        popup->ShowTips();
    } catch (...) {
        if (popup && !popup->isVisible()) {
            delete popup.data();
        }
        FormTips = nullptr;
    }
}

}  // namespace sarn
