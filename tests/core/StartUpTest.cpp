#include "core/StartUp.h"

#include "platform/Error.h"
#include "tests/support/FakeSarnSoap.h"

#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

namespace sarn {
namespace {

using testing::RecordingPresenter;

// Records which steps ran, in order; each step's behaviour is set by the test.
struct RecordedRun {
    RecordingPresenter boxes;
    GeneralErrorBox errors{boxes};
    QStringList steps;
    bool otherCopy = false;
    int loginResult = 1;
    bool utilitiesFail = false;
    bool loginFails = false;

    int Start() {
        StartUpSteps s;
        s.otherCopyRunning = [this] {
            steps << QStringLiteral("lock");
            return otherCopy;
        };
        s.initialiseApplication = [this] { steps << QStringLiteral("application"); };
        s.createUtilities = [this] {
            steps << QStringLiteral("utilities");
            if (utilitiesFail) {
                throw SarnError(QStringLiteral("settings"));
            }
        };
        s.runLoginWindow = [this] {
            steps << QStringLiteral("login");
            if (loginFails) {
                throw SarnError(QStringLiteral("login window"));
            }
            return loginResult;
        };
        s.runMainWindow = [this] { steps << QStringLiteral("main"); };
        s.releaseUtilities = [this] { steps << QStringLiteral("release"); };
        return RunStartUp(boxes, errors, s);
    }
};

TEST(StartUpTest, SecondCopyIsRefusedBeforeAnythingIsCreated) {
    RecordedRun run;
    run.otherCopy = true;
    EXPECT_EQ(run.Start(), 0);
    EXPECT_EQ(run.steps, QStringList{QStringLiteral("lock")});
    ASSERT_EQ(run.boxes.shown.size(), 1U);
    EXPECT_EQ(run.boxes.shown[0].caption, QStringLiteral("Sarn资讯提醒您"));
    EXPECT_EQ(run.boxes.shown[0].text, QStringLiteral("已经有一个终端在运行"));
    EXPECT_EQ(run.boxes.shown[0].icon, MessageIcon::Information);
}

TEST(StartUpTest, OnlyAnAcceptedLoginLeadsToTheMainWindow) {
    struct Case {
        int loginResult;
        QStringList steps;
    };
    const QStringList before{QStringLiteral("lock"), QStringLiteral("application"),
                             QStringLiteral("utilities"), QStringLiteral("login")};
    const Case cases[] = {{1, before + QStringList{QStringLiteral("main")}},
                          {2, before + QStringList{QStringLiteral("release")}},
                          {0, before + QStringList{QStringLiteral("release")}}};
    for (const Case& c : cases) {
        RecordedRun run;
        run.loginResult = c.loginResult;
        EXPECT_EQ(run.Start(), 0);
        EXPECT_EQ(run.steps, c.steps) << c.loginResult;
        EXPECT_TRUE(run.boxes.shown.empty());
    }
}

TEST(StartUpTest, AnErrorInACreationHandlerIsShownAndStartUpGoesOn) {
    RecordedRun run;
    run.utilitiesFail = true;
    EXPECT_EQ(run.Start(), 0);
    EXPECT_EQ(run.steps, (QStringList{QStringLiteral("lock"), QStringLiteral("application"),
                                      QStringLiteral("utilities"), QStringLiteral("login"),
                                      QStringLiteral("main")}));
    EXPECT_EQ(run.boxes.Texts(), QStringList{QStringLiteral("settings.")});

    RecordedRun broken;
    broken.loginFails = true;  // counts as abandoned
    EXPECT_EQ(broken.Start(), 0);
    EXPECT_EQ(broken.steps.last(), QStringLiteral("release"));
    EXPECT_EQ(broken.boxes.Texts(), QStringList{QStringLiteral("login window.")});
}

}  // namespace
}  // namespace sarn
