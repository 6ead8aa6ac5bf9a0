#include "core/Leftover.h"
#include "tests/session/SessionFixture.h"
#include "tests/session/UpdateFiles.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <QSemaphore>

#include <atomic>

using namespace sarn;
using namespace sarn::testing;

namespace {

// The update service: every download gets a client of its own, counted.
struct UpdateService {
    std::atomic<int> clientsMade{0};
    QByteArray image = ProgramSaying("new").toBase64();

    void Attach(SessionFixture& fixture) {
        fixture.context->makeServiceClient = [this]() -> std::unique_ptr<SarnSoapProvider> {
            ++clientsMade;
            auto client = std::make_unique<FakeSarnSoap>();
            const QByteArray offered = image;
            client->updateFile = [offered] { return offered; };
            return client;
        };
    }
};

QByteArray IniBytes(const SessionFixture& fixture) {
    QFile file(fixture.context->iniPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class UpdateCheckTest : public QObject {
    Q_OBJECT

  private slots:
    void nothingToInstall_data();
    void nothingToInstall();
    void differentNumberInstallsOnceThenASecondUpdate();
    void unwritableDirectoryFailsSilentlyEveryCheck();
    void windowGoesWhileTheDownloadRuns();
};

void UpdateCheckTest::nothingToInstall_data() {
    QTest::addColumn<QString>("installed");
    QTest::addColumn<bool>("serviceUp");
    QTest::addColumn<QString>("offered");
    QTest::newRow("same number") << QStringLiteral("2.1") << true << QStringLiteral("2.1");
    QTest::newRow("empty number") << QStringLiteral("2.1") << true << QString();
    QTest::newRow("service down") << QStringLiteral("2.1") << false << QString();
}

void UpdateCheckTest::nothingToInstall() {
    QFETCH(QString, installed);
    QFETCH(bool, serviceUp);
    QFETCH(QString, offered);
    SessionFixture fixture;
    UpdateService updates;
    updates.Attach(fixture);
    fixture.state.VersionNo = installed;
    if (serviceUp) {
        fixture.service.versionNumber = [offered] { return offered; };
    }
    const auto window = fixture.MakeWindow(SessionFixture::Quick());
    QSignalSpy checks(window.get(), &TFormMain::UpdateCheckDone);
    window->show();
    QTRY_VERIFY(checks.size() >= 3);  // it keeps checking
    QCOMPARE(updates.clientsMade.load(), 0);
    QCOMPARE(fixture.state.VersionNo, installed);
    QVERIFY(window->Timer3.isActive());
    QVERIFY(!QFile::exists(fixture.context->iniPath));
}

void UpdateCheckTest::differentNumberInstallsOnceThenASecondUpdate() {
    SessionFixture fixture;
    QVERIFY(WriteProgram(fixture.context->executablePath, "old"));
    UpdateService updates;
    updates.Attach(fixture);
    fixture.state.VersionNo = QStringLiteral("2.1");
    QString offered = QStringLiteral("2.10");  // differs as text only
    fixture.service.versionNumber = [&offered] { return offered; };
    const auto window = fixture.MakeWindow(SessionFixture::Quick());
    QSignalSpy checks(window.get(), &TFormMain::UpdateCheckDone);
    window->show();

    QTRY_COMPARE(fixture.state.VersionNo, QStringLiteral("2.10"));
    const QString executable = fixture.context->executablePath;
    QCOMPARE(RunProgram(executable), QByteArray("new"));
    QCOMPARE(RunProgram(LeftoverPath(executable)), QByteArray("old"));
    QVERIFY(IniBytes(fixture).contains("VersionNo=2.10"));
    const int afterFirst = checks.size();
    QTRY_VERIFY(checks.size() >= afterFirst + 3);
    QCOMPARE(updates.clientsMade.load(), 1);  // nothing more to do for the same number

    // A second update in the same run, with the first leftover still there.
    updates.image = ProgramSaying("newer").toBase64();
    offered = QStringLiteral("1.0");  // a lower number is installed too
    QTRY_COMPARE(fixture.state.VersionNo, QStringLiteral("1.0"));
    QCOMPARE(RunProgram(executable), QByteArray("newer"));
    QVERIFY(QFile::exists(LeftoverPath(executable)));
    QVERIFY(IniBytes(fixture).contains("VersionNo=1.0"));
    QCOMPARE(updates.clientsMade.load(), 2);
    QVERIFY(fixture.boxes.shown.empty());
}

void UpdateCheckTest::unwritableDirectoryFailsSilentlyEveryCheck() {
    SessionFixture fixture;
    // No file can be created where the program lies (see UpdateInstallTest for why not by
    // permissions).
    const QString blocked = fixture.dir.filePath(QStringLiteral("not-a-directory"));
    QVERIFY(WriteProgram(blocked, "x"));
    fixture.context->executablePath = blocked + QStringLiteral("/sarn-terminal");
    UpdateService updates;
    updates.Attach(fixture);
    fixture.state.VersionNo = QStringLiteral("2.1");
    fixture.service.versionNumber = [] { return QStringLiteral("2.2"); };
    const auto window = fixture.MakeWindow(SessionFixture::Quick());
    QSignalSpy checks(window.get(), &TFormMain::UpdateCheckDone);
    window->show();
    QTRY_VERIFY(checks.size() >= 3);
    QVERIFY(updates.clientsMade.load() >= 3);  // downloaded again at each check
    QCOMPARE(fixture.state.VersionNo, QStringLiteral("2.1"));
    QVERIFY(fixture.boxes.shown.empty());
    QVERIFY(!QFile::exists(fixture.context->iniPath));
}

void UpdateCheckTest::windowGoesWhileTheDownloadRuns() {
    SessionFixture fixture;
    QVERIFY(WriteProgram(fixture.context->executablePath, "old"));
    QSemaphore started;
    QSemaphore answer;
    fixture.context->makeServiceClient = [&]() -> std::unique_ptr<SarnSoapProvider> {
        auto client = std::make_unique<FakeSarnSoap>();
        client->updateFile = [&] {
            started.release();
            answer.acquire();
            return ProgramSaying("new").toBase64();
        };
        return client;
    };
    fixture.state.VersionNo = QStringLiteral("2.1");
    fixture.service.versionNumber = [] { return QStringLiteral("2.2"); };
    auto window = fixture.MakeWindow(SessionFixture::Quick());
    window->show();
    QTRY_VERIFY(started.available() > 0);
    window->close();
    window.reset();  // the process does not wait for the download

    answer.release();
    QTRY_COMPARE(RunProgram(fixture.context->executablePath), QByteArray("new"));
}

QTEST_MAIN(UpdateCheckTest)
#include "UpdateCheckTest.moc"
