#include "platform/Error.h"
#include "session/PortalBrowser.h"

#include <QUrl>
#include <QWebEngineView>

namespace sarn {

namespace {

class WebEngineBrowser : public PortalBrowser {
  public:
    explicit WebEngineBrowser(QWidget* parent) : view_(new QWebEngineView(parent)) {}

    void Navigate(const QString& address) override {
        // The address is handed over as built, unescaped; the tolerant parser and the engine
        // make of it what they do.
        const QUrl url(address, QUrl::TolerantMode);
        if (!url.isValid()) {
            throw SarnError(QStringLiteral("Invalid address: ") + address);
        }
        view_->load(url);
    }
    QWidget* Widget() override { return view_; }

  private:
    QWebEngineView* view_;
};

}  // namespace

std::unique_ptr<PortalBrowser> MakeWebEngineBrowser(QWidget* parent) {
    return std::make_unique<WebEngineBrowser>(parent);
}

}  // namespace sarn
