#pragma once

#include <QString>

#include <memory>

class QWidget;

namespace sarn {

// The embedded browser of the main window: it navigates to an address and shows the page in
// its widget, which handles its own keyboard and mouse input. Navigate throws when the browser
// refuses the request outright.
class PortalBrowser {
  public:
    virtual ~PortalBrowser() = default;
    virtual void Navigate(const QString& address) = 0;
    virtual QWidget* Widget() = 0;  // owned by the window it was made for
};

// The real one: a QWebEngineView, a child of `parent`.
std::unique_ptr<PortalBrowser> MakeWebEngineBrowser(QWidget* parent);

}  // namespace sarn
