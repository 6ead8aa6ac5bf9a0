#pragma once

#include <QString>

namespace sarn {

// Values as the platform's message-box flags have them.
enum class MessageIcon { Error = 16, Information = 64 };

// A modal message box with a caption, a text, an icon and one OK button; owned by the
// application, it disables the other windows while open and restores the focus afterwards.
// Tests replace it to capture what would have been shown.
class MessagePresenter {
  public:
    virtual ~MessagePresenter() = default;
    virtual void Show(const QString& caption, const QString& text, MessageIcon icon) = 0;
};

}  // namespace sarn
