#include "core/StartUp.h"

namespace sarn {

int RunStartUp(MessagePresenter& boxes, GeneralErrorBox& errors, const StartUpSteps& steps) {
    bool refused = false;
    // A lock that cannot be taken for another reason than a running copy lets the run go on.
    errors.Guard([&] { refused = steps.otherCopyRunning(); });
    if (refused) {
        errors.Guard([&] {
            boxes.Show(QStringLiteral("Sarn资讯提醒您"), QStringLiteral("已经有一个终端在运行"),
                       MessageIcon::Information);
        });
        return 0;
    }
    errors.Guard(steps.initialiseApplication);
    errors.Guard(steps.createUtilities);
    int modalResult = 0;
    errors.Guard([&] { modalResult = steps.runLoginWindow(); });
    if (modalResult == 1) {
        errors.Guard(steps.runMainWindow);
    } else {
        errors.Guard(steps.releaseUtilities);
    }
    return 0;
}

}  // namespace sarn
