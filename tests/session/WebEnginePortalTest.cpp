// The real browser opens the portal address as built, against a page served on loopback.
#include "core/Helpers.h"
#include "tests/session/SessionFixture.h"

#include <QApplication>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QWebEngineContextMenuRequest>
#include <QWebEngineView>

using namespace sarn;
using namespace sarn::testing;

namespace {

// Answers every request with one small page and keeps the request lines it saw.
class PortalServer : public QObject {
  public:
    PortalServer() {
        server_.listen(QHostAddress::LocalHost);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    const QByteArray request = socket->readAll();
                    requestLines << request.left(request.indexOf("\r\n"));
                    const QByteArray page = "<html><title>portal</title><body>ok</body></html>";
                    socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: " +
                                  QByteArray::number(page.size()) +
                                  "\r\nConnection: close\r\n\r\n" + page);
                    socket->disconnectFromHost();
                });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }
    QString Address() const {
        return QStringLiteral("http://127.0.0.1:%1/portal.aspx").arg(server_.serverPort());
    }

    QList<QByteArray> requestLines;

  private:
    QTcpServer server_;
};

}  // namespace

class WebEnginePortalTest : public QObject {
    Q_OBJECT

  private slots:
    void opensThePortalWithTheUnescapedQuery();
};

void WebEnginePortalTest::opensThePortalWithTheUnescapedQuery() {
    PortalServer server;
    SessionFixture fixture;
    fixture.state.UserName = QStringLiteral("li ming");
    const QString address = server.Address();
    fixture.service.newUrl = [address] { return address; };
    fixture.service.customerProduct = [](qint32) { return QStringLiteral("门户"); };

    MainWindowParts parts;
    parts.makeBrowser = MakeWebEngineBrowser;
    parts.makeClient = [&fixture](std::function<int()>) {
        return std::make_unique<FakeChannel>(fixture.service.calls);
    };
    parts.today = [] { return QStringLiteral("2026/12/11"); };
    parts.endLoop = [] {};
    parts.timings = SessionFixture::Quick();
    TFormMain window(*fixture.context, std::move(parts));
    window.show();

    auto* view = qobject_cast<QWebEngineView*>(window.WebBrowser1().Widget());
    QVERIFY(view != nullptr);
    QTRY_VERIFY_WITH_TIMEOUT(!server.requestLines.isEmpty(), 30000);
    const QByteArray digest = PasswordDigest(QStringLiteral("secret")).toLatin1();
    // The blank is the only character the engine itself has to encode on the wire.
    QCOMPARE(server.requestLines.first(),
             "GET /portal.aspx?UserName=li%20ming&Pwd=" + digest + " HTTP/1.1");
    QTRY_COMPARE_WITH_TIMEOUT(view->title(), QStringLiteral("portal"), 30000);
    QCOMPARE(window.windowTitle(), QStringLiteral("门户"));

    // A right click on the portal never reaches the engine; the same click on a view outside
    // the window, made afterwards, does: the engine would have asked for its menu by then.
    QWebEngineView outside;
    outside.setContextMenuPolicy(Qt::CustomContextMenu);  // records the request, opens no menu
    outside.resize(300, 200);
    outside.load(QUrl(address));
    outside.show();
    QTRY_COMPARE_WITH_TIMEOUT(outside.title(), QStringLiteral("portal"), 30000);
    const auto rightClick = [](QWidget* target) {
        QWindow* handle = target->window()->windowHandle();
        const QPoint at = target->mapTo(target->window(), QPoint(40, 40));
        QTest::mouseMove(handle, at);
        QTest::mouseClick(handle, Qt::RightButton, Qt::NoModifier, at);
    };
    rightClick(view);
    rightClick(&outside);
    QTRY_VERIFY_WITH_TIMEOUT(outside.lastContextMenuRequest() != nullptr, 30000);
    QTest::qWait(200);
    QVERIFY(view->lastContextMenuRequest() == nullptr);
}

int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    WebEnginePortalTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "WebEnginePortalTest.moc"
