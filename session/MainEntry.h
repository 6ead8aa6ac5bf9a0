#pragma once

#include <memory>

class QWidget;

namespace sarn {

struct AppContext;

// Creates the main window of a logged-in session. Closing it ends the message loop.
std::unique_ptr<QWidget> CreateMainWindow(AppContext& context);

}  // namespace sarn
