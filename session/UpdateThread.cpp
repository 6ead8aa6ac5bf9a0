#include "session/UpdateThread.h"

#include "session/UpdateInstaller.h"

namespace sarn {

TUpdateThread::TUpdateThread(ClientFactory makeClient, QString executablePath,
                             Base64Decoder decoder, std::function<void(ReplacementStep)> onStep,
                             QObject* parent)
    : QThread(parent)
    , makeClient_(std::move(makeClient))
    , executablePath_(std::move(executablePath))
    , decoder_(decoder)
    , onStep_(std::move(onStep)) {}

void TUpdateThread::run() {
    QByteArray text;
    try {
        // A fresh client loads the service description again on its first call.
        const std::unique_ptr<SarnSoapProvider> client = makeClient_();
        text = client->GetsarnSoap().GetNewUpdateFile();
    } catch (...) {  // any failure to make the client or to download leaves the text empty
        text.clear();
    }
    try {
        installed_ = ApplyUpdateFile(text, decoder_, executablePath_, onStep_);
    } catch (...) {  // not shown, not retried here: the next check tries again
        installed_ = false;
    }
}

}  // namespace sarn
