#include "RunningService.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

#include <gtest/gtest.h>
#include <pugixml.hpp>

namespace sarndev::test {

std::string XmlText(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else if (c == '\r')
            out += "&#xD;";  // a raw CR would reach the service as LF
        else
            out += c;
    }
    return out;
}

RunningService::Admin RunServiceBinary(const QStringList& arguments) {
    QProcess p;
    p.start(QStringLiteral(SARN_SERVICE_BINARY), arguments);
    RunningService::Admin result;
    if (!p.waitForFinished(20000)) {
        p.kill();
        p.waitForFinished();
        return result;
    }
    result.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    result.out = p.readAllStandardOutput().toStdString();
    result.err = p.readAllStandardError().toStdString();
    return result;
}

RunningService::RunningService(QStringList extraArguments, QString dataDir) {
    if (dataDir.isEmpty()) {
        ownDir_ = std::make_unique<QTemporaryDir>();
        dataDir = ownDir_->path();
    }
    dataDir_ = dataDir;
    const QString ready = dataDir_ + QStringLiteral("/ready");
    QFile::remove(ready);
    QStringList args = {QStringLiteral("serve"),
                        QStringLiteral("--listen"),
                        QStringLiteral("127.0.0.1:0"),
                        QStringLiteral("--udp-port"),
                        QStringLiteral("0"),
                        QStringLiteral("--data"),
                        dataDir_,
                        QStringLiteral("--ready-file"),
                        ready};
    args += extraArguments;
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.setStandardOutputFile(QProcess::nullDevice());
    process_.start(QStringLiteral(SARN_SERVICE_BINARY), args);
    if (!process_.waitForStarted(10000)) {
        ADD_FAILURE() << "sarn-service did not start";
        return;
    }
    QDeadlineTimer deadline(15000);
    while (!QFile::exists(ready) && !deadline.hasExpired() &&
           process_.state() == QProcess::Running) {
        QThread::msleep(10);
    }
    QFile file(ready);
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "sarn-service did not get ready";
        return;
    }
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.startsWith("http="))
            host_ = line.mid(5).toStdString();
        if (line.startsWith("udp="))
            udpPort_ = static_cast<quint16>(line.mid(4).toUInt());
    }
}

RunningService::~RunningService() {
    if (!stopped_) {
        EXPECT_EQ(Stop(), 0) << "sarn-service did not stop cleanly on SIGTERM";
    }
}

int RunningService::Stop() {
    stopped_ = true;
    if (process_.state() == QProcess::NotRunning) {
        return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
    }
    process_.terminate();  // SIGTERM
    if (!process_.waitForFinished(10000)) {
        process_.kill();
        process_.waitForFinished();
        return -1;
    }
    return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
}

std::unique_ptr<httplib::Client> RunningService::Http() const {
    auto client = std::make_unique<httplib::Client>("http://" + host_);
    client->set_read_timeout(10);
    client->set_keep_alive(true);
    return client;
}

RunningService::Reply RunningService::Post(const std::string& bodyXml,
                                           const std::optional<std::string>& action) const {
    std::string envelope =
        "<?xml version=\"1.0\"?><SOAP-ENV:Envelope "
        "xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\" "
        "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\" "
        "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"><SOAP-ENV:Body>" +
        bodyXml + "</SOAP-ENV:Body></SOAP-ENV:Envelope>";
    httplib::Headers headers;
    if (action)
        headers.emplace("SOAPAction", "\"" + Namespace() + "/" + *action + "\"");
    auto res =
        Http()->Post("/SarnWebService/sarn.asmx", headers, envelope, "text/xml; charset=\"utf-8\"");
    Reply reply;
    if (!res) {
        ADD_FAILURE() << "no reply: " << httplib::to_string(res.error());
        return reply;
    }
    reply.status = res->status;
    reply.contentType = res->get_header_value("Content-Type");
    reply.body = res->body;
    return reply;
}

RunningService::Reply RunningService::Call(
    const std::string& operation,
    const std::vector<std::pair<std::string, std::string>>& parameters) const {
    std::string xml = "<" + operation + " xmlns=\"" + Namespace() + "\">";
    for (const auto& [name, value] : parameters) {
        xml += "<" + name + ">" + XmlText(value) + "</" + name + ">";
    }
    xml += "</" + operation + ">";
    return Post(xml, operation);
}

std::string RunningService::Result(
    const std::string& operation,
    const std::vector<std::pair<std::string, std::string>>& parameters) const {
    Reply reply = Call(operation, parameters);
    EXPECT_EQ(reply.status, 200) << reply.body;
    pugi::xml_document doc;
    doc.load_buffer(reply.body.data(), reply.body.size());
    pugi::xml_node result = doc.child("soap:Envelope")
                                .child("soap:Body")
                                .child((operation + "Response").c_str())
                                .child((operation + "Result").c_str());
    EXPECT_TRUE(result) << reply.body;
    return result.text().get();
}

RunningService::Admin RunningService::Run(const QStringList& arguments) const {
    return RunServiceBinary(arguments + QStringList{QStringLiteral("--data"), dataDir_});
}

}  // namespace sarndev::test
