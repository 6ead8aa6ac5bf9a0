#pragma once

#include "core/GeneralErrorBox.h"
#include "platform/MessagePresenter.h"

#include <functional>

namespace sarn {

// The steps of one run, in the order RunStartUp takes them. main fills them with the real
// lock, windows and loop; tests with recorders.
struct StartUpSteps {
    std::function<bool()> otherCopyRunning;  // the single-copy lock is held by another copy
    std::function<void()> initialiseApplication;
    std::function<void()> createUtilities;  // loads the settings
    std::function<int()> runLoginWindow;    // its modal result: 1 after an accepted login
    std::function<void()> runMainWindow;    // creates it and runs the loop until it closes
    std::function<void()> releaseUtilities;
};

// A second copy sees "已经有一个终端在运行" and nothing else happens. Otherwise the settings are
// loaded, the login window runs, and only its result 1 leads to the main window. An error that
// escapes one step goes to the general error box and the run goes on with the next step (a login
// window that fails counts as abandoned). Returns the exit code: 0 on every path.
int RunStartUp(MessagePresenter& boxes, GeneralErrorBox& errors, const StartUpSteps& steps);

}  // namespace sarn
