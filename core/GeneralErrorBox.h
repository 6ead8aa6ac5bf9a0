#pragma once

#include "platform/MessagePresenter.h"

#include <QString>

#include <exception>
#include <utility>

namespace sarn {

// The message with a full stop appended, unless it is empty or its last character already
// sorts at or before ".".
QString GeneralErrorText(const QString& message);

// The application's general error box: every error that escapes an event, timer or creation
// handler ends here, is shown with the caption "Sarn资讯终端" and the error icon, and the program
// goes on. A silent abort shows nothing.
class GeneralErrorBox {
  public:
    explicit GeneralErrorBox(MessagePresenter& boxes) : boxes_(boxes) {}

    void Show(const std::exception& error);

    // Runs a handler so that no exception leaves it; returns false when one was caught.
    template <typename Handler>
    bool Guard(Handler&& handler) noexcept {
        try {
            std::forward<Handler>(handler)();
            return true;
        } catch (const std::exception& error) {
            ShowNoThrow(error);
        } catch (...) {
            ShowUnknownNoThrow();
        }
        return false;
    }

    MessagePresenter& Boxes() { return boxes_; }

  private:
    void ShowNoThrow(const std::exception& error) noexcept;
    void ShowUnknownNoThrow() noexcept;

    MessagePresenter& boxes_;
};

}  // namespace sarn
