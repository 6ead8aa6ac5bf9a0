#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <httplib.h>

#include <memory>
#include <optional>
#include <string>

namespace sarndev::test {

// One sarn-service process on free loopback ports with a data directory of its own (or a given
// one, to see what survives a restart). Stopping it with SIGTERM must end it with exit code 0.
class RunningService {
  public:
    explicit RunningService(QStringList extraArguments = {}, QString dataDir = {});
    ~RunningService();

    const std::string& Host() const { return host_; }  // "127.0.0.1:<port>"
    std::string Namespace() const { return "http://" + host_ + "/ZODevEduriza3.0.1"; }
    quint16 UdpPort() const { return udpPort_; }
    const QString& DataDir() const { return dataDir_; }

    // Stops the process; returns its exit code (-1 when it crashed or had to be killed).
    int Stop();

    std::unique_ptr<httplib::Client> Http() const;

    struct Reply {
        int status = 0;
        std::string contentType;
        std::string body;
    };
    // POSTs a SOAP 1.1 envelope whose Body holds `bodyXml`; the SOAPAction header is that of
    // `action` when given.
    Reply Post(const std::string& bodyXml, const std::optional<std::string>& action = {}) const;
    // Calls an operation with text parameters given as (name, value) pairs, values XML-escaped.
    Reply Call(const std::string& operation,
               const std::vector<std::pair<std::string, std::string>>& parameters = {}) const;
    // The text of <OpResult> of a successful reply; fails the test otherwise.
    std::string Result(
        const std::string& operation,
        const std::vector<std::pair<std::string, std::string>>& parameters = {}) const;

    // Runs an administration command on this service's data directory.
    struct Admin {
        int exitCode = -1;
        std::string out;
        std::string err;
    };
    Admin Run(const QStringList& arguments) const;

  private:
    std::unique_ptr<QTemporaryDir> ownDir_;
    QString dataDir_;
    QProcess process_;
    std::string host_;
    quint16 udpPort_ = 0;
    bool stopped_ = false;
};

// Runs sarn-service with exactly these arguments.
RunningService::Admin RunServiceBinary(const QStringList& arguments);

std::string XmlText(const std::string& text);

}  // namespace sarndev::test
