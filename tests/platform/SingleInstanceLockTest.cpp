#include "platform/SingleInstanceLock.h"

#include <QProcess>
#include <QTemporaryDir>

#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

#include <memory>

namespace sarn {
namespace {

// A copy of the program, as far as the lock is concerned: a separate process that takes the lock
// and keeps it until told to end or killed.
class Holder {
  public:
    explicit Holder(const QString& directory) {
        process_.setProgram(QStringLiteral(SARN_LOCK_HOLDER));
        process_.setArguments({directory});
        process_.start();
    }
    ~Holder() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }

    QString Outcome() {
        while (!process_.canReadLine() && process_.waitForReadyRead(10000)) {
        }
        return QString::fromLatin1(process_.readLine()).trimmed();
    }
    void End() {
        process_.closeWriteChannel();
        ASSERT_TRUE(process_.waitForFinished(10000));
    }
    void Kill() {  // SIGKILL: no chance to release anything itself
        process_.kill();
        ASSERT_TRUE(process_.waitForFinished(10000));
    }

  private:
    QProcess process_;
};

class SingleInstanceLockTest : public ::testing::Test {
  protected:
    QTemporaryDir session_;
};

TEST_F(SingleInstanceLockTest, SecondCopyIsRefusedWhileTheFirstRuns) {
    Holder first(session_.path());
    ASSERT_EQ(first.Outcome(), QStringLiteral("Acquired"));
    Holder second(session_.path());
    EXPECT_EQ(second.Outcome(), QStringLiteral("HeldElsewhere"));
    SingleInstanceLock here(QStringLiteral("sarnmutex"), session_.path());
    EXPECT_EQ(here.TryAcquire(), SingleInstanceLock::Result::HeldElsewhere);
    // The refused copies leave the first one holding it.
    Holder third(session_.path());
    EXPECT_EQ(third.Outcome(), QStringLiteral("HeldElsewhere"));
}

TEST_F(SingleInstanceLockTest, NewCopyStartsAfterTheFirstEnded) {
    for (const bool killed : {false, true}) {
        SCOPED_TRACE(killed ? "killed" : "ended normally");
        {
            Holder first(session_.path());
            ASSERT_EQ(first.Outcome(), QStringLiteral("Acquired"));
            killed ? first.Kill() : first.End();
        }
        Holder next(session_.path());
        EXPECT_EQ(next.Outcome(), QStringLiteral("Acquired"));
    }
}

TEST_F(SingleInstanceLockTest, OtherSessionsHaveTheirOwnLock) {
    QTemporaryDir otherSession;
    Holder first(session_.path());
    ASSERT_EQ(first.Outcome(), QStringLiteral("Acquired"));
    Holder elsewhere(otherSession.path());
    EXPECT_EQ(elsewhere.Outcome(), QStringLiteral("Acquired"));
}

TEST_F(SingleInstanceLockTest, UnusableDirectoryFailsRatherThanRefuses) {
    SingleInstanceLock lock(QStringLiteral("sarnmutex"), session_.path() + QStringLiteral("/gone"));
    EXPECT_EQ(lock.TryAcquire(), SingleInstanceLock::Result::Failed);
}

TEST(SingleInstanceLockDefault, LivesInAPerUserDirectory) {
    SingleInstanceLock lock(QStringLiteral("sarnmutex"));
    EXPECT_TRUE(lock.Path().endsWith(QStringLiteral("/sarnmutex.lock")))
        << lock.Path().toStdString();
    EXPECT_FALSE(lock.Path().startsWith(QStringLiteral("/sarnmutex")));
}

}  // namespace
}  // namespace sarn
