#include "login/LoginEntry.h"

#include "login/TFormLogin.h"

#include <QDesktopServices>

namespace sarn {

int RunLoginWindow(AppContext& context) {
    LoginWindowSeams seams;
    seams.openUrl = [](const QUrl& url) { QDesktopServices::openUrl(url); };
    TFormLogin form(context, std::move(seams));
    return form.exec() == 1 ? 1 : 2;
}

}  // namespace sarn
