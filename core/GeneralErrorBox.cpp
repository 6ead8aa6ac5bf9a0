#include "core/GeneralErrorBox.h"

#include "platform/Error.h"

namespace sarn {

QString GeneralErrorText(const QString& message) {
    if (message.isEmpty() || message.back() <= u'.') {
        return message;
    }
    return message + u'.';
}

void GeneralErrorBox::Show(const std::exception& error) {
    if (dynamic_cast<const SilentAbort*>(&error) != nullptr) {
        return;
    }
    const auto* own = dynamic_cast<const SarnError*>(&error);
    const QString message = own != nullptr ? own->Message() : QString::fromUtf8(error.what());
    boxes_.Show(QStringLiteral("Sarn资讯终端"), GeneralErrorText(message), MessageIcon::Error);
}

void GeneralErrorBox::ShowNoThrow(const std::exception& error) noexcept {
    try {
        Show(error);
    } catch (...) {  // nothing more can be done for the user; the program goes on
    }
}

void GeneralErrorBox::ShowUnknownNoThrow() noexcept {
    try {
        boxes_.Show(QStringLiteral("Sarn资讯终端"), QStringLiteral("Unknown error."),
                    MessageIcon::Error);
    } catch (...) {
    }
}

}  // namespace sarn
