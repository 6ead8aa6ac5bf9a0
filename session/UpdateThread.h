#pragma once

#include "core/Base64Decoder.h"
#include "platform/session/FileReplacement.h"
#include "service/SarnSoap.h"

#include <QString>
#include <QThread>

#include <functional>
#include <memory>

namespace sarn {

// Downloads the update image with a client of its own and installs it. Everything it uses is
// its own, so it may outlive the window that started it (the process does not wait for it).
// Failures are silent: Installed() stays false.
class TUpdateThread : public QThread {
    Q_OBJECT

  public:
    using ClientFactory = std::function<std::unique_ptr<SarnSoapProvider>()>;

    TUpdateThread(ClientFactory makeClient, QString executablePath, Base64Decoder decoder,
                  std::function<void(ReplacementStep)> onStep, QObject* parent = nullptr);

    // Valid once finished() has been emitted.
    bool Installed() const { return installed_; }

  protected:
    void run() override;

  private:
    ClientFactory makeClient_;
    QString executablePath_;
    Base64Decoder decoder_;
    std::function<void(ReplacementStep)> onStep_;
    bool installed_ = false;
};

}  // namespace sarn
