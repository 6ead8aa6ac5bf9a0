#pragma once

#include "platform/MessagePresenter.h"

namespace sarn {

// The application's modal message box.
class QtMessagePresenter : public MessagePresenter {
  public:
    void Show(const QString& caption, const QString& text, MessageIcon icon) override;
};

}  // namespace sarn
