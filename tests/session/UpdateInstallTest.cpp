#include "core/Helpers.h"
#include "core/Leftover.h"
#include "session/UpdateInstaller.h"
#include "tests/session/UpdateFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace sarn;
using namespace sarn::testing;

namespace {

class UpdateInstallTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        executable_ = dir_.filePath(QStringLiteral("sarn-terminal"));
        ASSERT_TRUE(WriteProgram(executable_, "old"));
    }

    // Everything in the directory: no temporary file may stay behind.
    QStringList Entries() const {
        return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    QTemporaryDir dir_;
    QString executable_;
    Base64Decoder decoder_;
};

TEST_F(UpdateInstallTest, InstallsTheNewProgramAndKeepsThePreviousAsLeftover) {
    ASSERT_TRUE(ApplyUpdateFile(ProgramSaying("new").toBase64(), decoder_, executable_));
    EXPECT_EQ(RunProgram(executable_), "new");
    EXPECT_EQ(RunProgram(LeftoverPath(executable_)), "old");
    EXPECT_EQ(Entries(),
              (QStringList{QStringLiteral("sarn-terminal"), QStringLiteral("sarn-terminal.old")}));
}

TEST_F(UpdateInstallTest, SecondUpdateReplacesTheFirstAndKeepsTheOriginalLeftover) {
    ASSERT_TRUE(ApplyUpdateFile(ProgramSaying("new").toBase64(), decoder_, executable_));
    ASSERT_TRUE(ApplyUpdateFile(ProgramSaying("newer").toBase64(), decoder_, executable_));
    EXPECT_EQ(RunProgram(executable_), "newer");
    EXPECT_EQ(RunProgram(LeftoverPath(executable_)), "old");
    EXPECT_EQ(Entries().size(), 2);
}

TEST_F(UpdateInstallTest, EmptyTextDoesNothing) {
    EXPECT_FALSE(ApplyUpdateFile(QByteArray(), decoder_, executable_));
    EXPECT_EQ(Entries(), QStringList{QStringLiteral("sarn-terminal")});
}

TEST_F(UpdateInstallTest, RefusedImagesLeaveTheProgramUntouched) {
    struct Case {
        const char* name;
        QByteArray text;
    };
    const QByteArray valid = ProgramSaying("new").toBase64();
    // A bad character far enough in that the first pieces have been written already.
    QByteArray lateGarbage = QByteArray(200000, 'A');
    lateGarbage[150000] = '*';
    const Case cases[] = {
        {"uneven length", valid.left(valid.size() - 1)},
        {"character outside the alphabet", lateGarbage},
    };
    for (const Case& refused : cases) {
        SCOPED_TRACE(refused.name);
        EXPECT_THROW(ApplyUpdateFile(refused.text, decoder_, executable_), SarnError);
        EXPECT_EQ(RunProgram(executable_), "old");
        EXPECT_EQ(Entries(), QStringList{QStringLiteral("sarn-terminal")});
    }
}

TEST_F(UpdateInstallTest, UnwritableDirectoryFailsWithoutTouchingAnything) {
    // Where no file can be created beside the program (root may write anywhere, so the
    // directory is made unusable by its name instead of its permissions).
    const QString blocked = dir_.filePath(QStringLiteral("not-a-directory"));
    ASSERT_TRUE(WriteProgram(blocked, "x"));
    EXPECT_THROW(ApplyUpdateFile(ProgramSaying("new").toBase64(), decoder_,
                                 blocked + QStringLiteral("/sarn-terminal")),
                 ReplacementError);
    EXPECT_EQ(RunProgram(executable_), "old");
}

TEST_F(UpdateInstallTest, KilledAtAnyStepLeavesARunnableProgram) {
    const QString imagePath = dir_.filePath(QStringLiteral("image.b64"));
    {
        QFile image(imagePath);
        ASSERT_TRUE(image.open(QIODevice::WriteOnly));
        image.write(ProgramSaying("new").toBase64());
    }
    const QString probe =
        QCoreApplication::applicationDirPath() + QStringLiteral("/session_update_install_probe");
    const ReplacementStep steps[] = {
        ReplacementStep::TemporaryCreated, ReplacementStep::ContentWritten,
        ReplacementStep::ContentSynced,    ReplacementStep::ModeCopied,
        ReplacementStep::LeftoverLinked,   ReplacementStep::NewInPlace,
        ReplacementStep::DirectorySynced};
    for (const ReplacementStep step : steps) {
        const int index = static_cast<int>(step);
        SCOPED_TRACE(index);
        QFile::remove(LeftoverPath(executable_));
        ASSERT_TRUE(WriteProgram(executable_, "old"));

        QProcess install;
        install.start(probe, {executable_, imagePath, QString::number(index)});
        ASSERT_TRUE(install.waitForFinished(10000));
        EXPECT_EQ(install.exitStatus(), QProcess::CrashExit);  // it did reach the step

        const QByteArray expected =
            index >= static_cast<int>(ReplacementStep::NewInPlace) ? "new" : "old";
        EXPECT_EQ(RunProgram(executable_), expected);
        if (QFile::exists(LeftoverPath(executable_))) {
            EXPECT_EQ(RunProgram(LeftoverPath(executable_)), "old");
        }
    }
    // The next update clears what the interrupted ones left behind.
    ASSERT_TRUE(WriteProgram(executable_, "old"));
    ASSERT_TRUE(ApplyUpdateFile(ProgramSaying("new").toBase64(), decoder_, executable_));
    EXPECT_EQ(Entries(), (QStringList{QStringLiteral("image.b64"), QStringLiteral("sarn-terminal"),
                                      QStringLiteral("sarn-terminal.old")}));
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
