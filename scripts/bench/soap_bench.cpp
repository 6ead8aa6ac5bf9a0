// Wire benchmarks of the SOAP client against a loopback server.
//   soap_bench rpc [calls]        GetRemoteIP through SoapClient vs a raw libcurl POST loop
//   soap_bench serve <image MiB>  serves the description and a GetNewUpdateFile reply; prints
//                                 its host:port and runs until stdin closes
//   soap_bench update <host:port> one GetNewUpdateFile call: time and peak memory
#include "service/InvokeRegistry.h"
#include "service/ServiceHost.h"
#include "service/SoapClient.h"
#include "tests/service/LoopbackServer.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

using namespace sarn;
using testing::CannedReply;
using testing::HttpReplyOf;
using testing::RecordedRequest;
using Clock = std::chrono::steady_clock;

namespace {

const QString kNamespace = QStringLiteral("http://sarn.test/ZODevEduriza3.0.1");

QByteArray Description(const QString& host) {
    QFile file(QStringLiteral(SARN_SOAP_TEST_DATA "/sarn.wsdl"));
    file.open(QIODevice::ReadOnly);
    return file.readAll().replace("@HOST@", host.toUtf8());
}

QByteArray Envelope(const QByteArray& operation, const QByteArray& value) {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?><soap:Envelope "
           "xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\"><soap:Body><" +
           operation + "Response xmlns=\"" + kNamespace.toUtf8() + "\"><" + operation + "Result>" +
           value + "</" + operation + "Result></" + operation +
           "Response></soap:Body></soap:Envelope>";
}

long PeakKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) {
            return line.mid(6).trimmed().split(' ').value(0).toLong();
        }
    }
    return 0;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

size_t Discard(char*, size_t one, size_t n, void*) {
    return one * n;
}

int Rpc(int calls) {
    RegisterSarnSoap(kNamespace);
    QString host;
    testing::LoopbackServer server([&host](const RecordedRequest& r) {
        if (r.requestLine.startsWith("GET ")) {
            return HttpReplyOf(200, "OK", "text/xml", Description(host));
        }
        return HttpReplyOf(200, "OK", "text/xml; charset=utf-8",
                           Envelope("GetRemoteIP", "127.0.0.1"));
    });
    host = server.HostAndPort();

    auto client = MakeSarnSoapClient(ServiceHost(host));
    client->GetsarnSoap().GetRemoteIP();  // description and connection, not timed
    const RecordedRequest sample = server.Requests().back();

    // The same request bytes through a bare libcurl handle.
    const std::string url = "http://" + host.toStdString() + "/SarnWebService/sarn.asmx";
    CURL* curl = curl_easy_init();
    curl_slist* headers = nullptr;
    for (const QByteArray& line : sample.headerLines) {
        if (line.startsWith("SOAPAction") || line.startsWith("Content-Type")) {
            headers = curl_slist_append(headers, line.constData());
        }
    }
    headers = curl_slist_append(headers, "Connection: Keep-Alive");
    headers = curl_slist_append(headers, "Accept:");
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_USERAGENT, "Tolvern SOAP 1.2");
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, sample.body.constData());
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE, static_cast<long>(sample.body.size()));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &Discard);
    curl_easy_perform(curl);
    const int before = server.Connections();

    // Interleaved, so that both loops see the same machine load.
    std::vector<double> soap;
    std::vector<double> raw;
    for (int i = 0; i < calls; ++i) {
        auto start = Clock::now();
        client->GetsarnSoap().GetRemoteIP();
        soap.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
        start = Clock::now();
        curl_easy_perform(curl);
        raw.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    const int opened = server.Connections() - before;  // 0: both kept their connection
    curl_slist_free_all(headers);
    curl_easy_cleanup(curl);

    std::printf(
        "GetRemoteIP x%d: SoapClient median %.1f us, raw libcurl median %.1f us, ratio "
        "%.2f; connections opened during the loops: %d\n",
        calls, Median(soap), Median(raw), Median(soap) / Median(raw), opened);
    return 0;
}

int Serve(int mebibytes) {
    QByteArray image(static_cast<qsizetype>(mebibytes) << 20, Qt::Uninitialized);
    for (qsizetype i = 0; i < image.size(); ++i) {
        image[i] = static_cast<char>((i * 2654435761u) >> 13);
    }
    const QByteArray base64 = image.toBase64();
    image.clear();
    const QByteArray reply = Envelope("GetNewUpdateFile", base64);
    QString host;
    testing::LoopbackServer server([&](const RecordedRequest& r) {
        if (r.requestLine.startsWith("GET /image.b64")) {
            return HttpReplyOf(200, "OK", "text/plain", base64);
        }
        if (r.requestLine.startsWith("GET ")) {
            return HttpReplyOf(200, "OK", "text/xml", Description(host));
        }
        return HttpReplyOf(200, "OK", "text/xml; charset=utf-8", reply);
    });
    host = server.HostAndPort();
    std::printf("%s\n", host.toUtf8().constData());
    std::fflush(stdout);
    std::string line;
    while (std::getline(std::cin, line)) {
    }
    return 0;
}

int Update(const QString& host) {
    RegisterSarnSoap(kNamespace);
    auto client = MakeSarnSoapClient(ServiceHost(host));
    const long baseline = PeakKiB();
    const auto start = Clock::now();
    QByteArray base64 = client->GetsarnSoap().GetNewUpdateFile();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const long afterCall = PeakKiB();
    const qsizetype b64 = base64.size();
    // Decoded in the reply's own buffer: Qt reuses an unshared rvalue.
    const QByteArray image = QByteArray::fromBase64Encoding(std::move(base64)).decoded;
    const long afterDecode = PeakKiB();
    std::printf(
        "GetNewUpdateFile: %.1f MiB Base64 -> %.1f MiB image; call %.3f s; peak RSS "
        "%.1f MiB before, %.1f MiB after the call, %.1f MiB after decoding (%.2fx "
        "image above the start)\n",
        b64 / 1048576.0, image.size() / 1048576.0, seconds, baseline / 1024.0, afterCall / 1024.0,
        afterDecode / 1024.0,
        (afterDecode - baseline) * 1024.0 / static_cast<double>(image.size()));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "rpc";
    if (mode == "rpc") {
        return Rpc(argc > 2 ? std::atoi(argv[2]) : 1000);
    }
    if (mode == "serve") {
        return Serve(argc > 2 ? std::atoi(argv[2]) : 64);
    }
    if (mode == "update" && argc > 2) {
        return Update(QString::fromUtf8(argv[2]));
    }
    std::fprintf(stderr, "usage: soap_bench rpc [calls] | serve <MiB> | update <host:port>\n");
    return 2;
}
