#include "service/InvokeRegistry.h"
#include "service/ServiceHost.h"
#include "service/SoapClient.h"
#include "service/SoapErrors.h"
#include "tests/service/SoapTestSupport.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <QTemporaryDir>

#include <functional>

namespace sarn {
namespace {

using testing::CannedReply;
using testing::HttpReplyOf;
using testing::kTestNamespace;
using testing::RecordedRequest;
using testing::SoapEnvelope;
using testing::SoapOk;
using testing::SoapResponse;

// Serves the fixture descriptions on GET (with the server's own address filled in) and
// answers every POST with `onPost`.
class SoapWireTest : public ::testing::Test {
  public:
    void SetUp() override { RegisterSarnSoap(kTestNamespace); }

    QString Host() const { return server.HostAndPort(); }
    QString Endpoint() const {
        return QStringLiteral("http://%1/SarnWebService/sarn.asmx").arg(Host());
    }
    QString DescriptionUrl() const {
        return QStringLiteral("http://%1/SarnWebService/sarn.asmx?wsdl").arg(Host());
    }

    // The client as the program configures it, against this server.
    std::unique_ptr<SoapClient> Client(SoapClientSeams seams = {}) {
        seams.timeouts.connect = std::chrono::seconds(5);
        return MakeSarnSoapClient(ServiceHost(Host()), seams);
    }

    std::unique_ptr<SoapClient> ClientFor(const QString& fixture) {
        auto client = Client();
        client->SetWSDLLocation(QStringLiteral("http://%1/wsdl/%2").arg(Host(), fixture));
        client->SetService(QStringLiteral("sarn"));
        client->SetPort(QStringLiteral("sarnSoap"));
        return client;
    }

    std::vector<RecordedRequest> Posts() const {
        std::vector<RecordedRequest> posts;
        for (const RecordedRequest& r : server.Requests()) {
            if (r.requestLine.startsWith("POST ")) {
                posts.push_back(r);
            }
        }
        return posts;
    }
    int Gets() const {
        int gets = 0;
        for (const RecordedRequest& r : server.Requests()) {
            gets += r.requestLine.startsWith("GET ") ? 1 : 0;
        }
        return gets;
    }

    std::function<CannedReply(const RecordedRequest&)> onPost = [](const RecordedRequest&) {
        return SoapOk(SoapResponse("GetRemoteIP", "10.1.2.3"));
    };
    std::function<QByteArray(QByteArray)> editDescription = [](QByteArray d) { return d; };
    std::function<CannedReply()> onGet;  // overrides the description when set

    testing::LoopbackServer server{[this](const RecordedRequest& request) {
        if (!request.requestLine.startsWith("GET ")) {
            return onPost(request);
        }
        if (onGet) {
            return onGet();
        }
        const QByteArray target = request.requestLine.split(' ').value(1);
        QString name = QStringLiteral("sarn.wsdl");
        if (target.startsWith("/wsdl/")) {
            name = QString::fromUtf8(target.mid(6));
        }
        QByteArray description = testing::FixtureBytes(name);
        description.replace("@HOST@", Host().toUtf8());
        return HttpReplyOf(200, "OK", "text/xml; charset=utf-8", editDescription(description));
    }};
};

TEST_F(SoapWireTest, FirstCallFetchesDescriptionThenPostsAndLaterCallsReuseTheConnection) {
    auto client = Client();
    EXPECT_EQ(client->GetsarnSoap().GetRemoteIP(), QStringLiteral("10.1.2.3"));
    EXPECT_EQ(client->GetsarnSoap().GetRemoteIP(), QStringLiteral("10.1.2.3"));

    const std::vector<RecordedRequest> all = server.Requests();
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0].requestLine, "GET /SarnWebService/sarn.asmx?wsdl HTTP/1.1");
    EXPECT_EQ(all[0].Header("User-Agent"), "Tolvern SOAP 1.2");
    EXPECT_EQ(all[0].Header("Accept"), "*/*");
    EXPECT_EQ(all[0].Header("Cache-Control"), "no-cache");
    EXPECT_TRUE(all[1].requestLine.startsWith("POST "));
    EXPECT_TRUE(all[2].requestLine.startsWith("POST "));
    EXPECT_EQ(all[1].connection, all[2].connection);
    EXPECT_NE(all[0].connection, all[1].connection);
}

TEST_F(SoapWireTest, LoginPostCarriesExactHeadersAndEnvelope) {
    onPost = [](const RecordedRequest&) { return SoapOk(SoapResponse("Login", "5")); };
    auto client = Client();
    EXPECT_EQ(client->GetsarnSoap().Login(QStringLiteral("张三<&>\"'"), QStringLiteral("abc")), 5);

    const std::vector<RecordedRequest> posts = Posts();
    ASSERT_EQ(posts.size(), 1u);
    const RecordedRequest& post = posts[0];
    EXPECT_EQ(post.requestLine, "POST /SarnWebService/sarn.asmx HTTP/1.1");
    QList<QByteArray> names;
    for (const QByteArray& line : post.headerLines) {
        names << line.left(line.indexOf(':'));
    }
    const QList<QByteArray> expectedNames{"Host",         "User-Agent", "SOAPAction",
                                          "Content-Type", "Connection", "Content-Length"};
    EXPECT_EQ(names, expectedNames) << post.head.toStdString();
    EXPECT_EQ(post.Header("Host"), Host().toUtf8());
    EXPECT_EQ(post.Header("User-Agent"), "Tolvern SOAP 1.2");
    EXPECT_EQ(post.Header("SOAPAction"), "\"" + kTestNamespace.toUtf8() + "/Login\"");
    EXPECT_EQ(post.Header("Content-Type"), "text/xml; charset=\"utf-8\"");
    EXPECT_EQ(post.Header("Connection"), "Keep-Alive");
    EXPECT_EQ(post.Header("Content-Length").toLongLong(), post.body.size());

    const QByteArray expected =
        "<?xml version=\"1.0\"?>\n<SOAP-ENV:Envelope "
        "xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\" "
        "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\" "
        "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"><SOAP-ENV:Body><Login xmlns=\"" +
        kTestNamespace.toUtf8() +
        "\"><loginName>张三&lt;&amp;&gt;\"'</loginName><password>abc</password></Login>"
        "</SOAP-ENV:Body></SOAP-ENV:Envelope>";
    EXPECT_EQ(post.body, expected);
}

TEST_F(SoapWireTest, AddLoginWritesNegativeIntegerAndEmptyText) {
    onPost = [](const RecordedRequest&) {
        return SoapOk(
            SoapEnvelope("<AddLoginResponse xmlns=\"" + kTestNamespace.toUtf8() + "\" />"));
    };
    auto client = Client();
    client->GetsarnSoap().AddLogin(-5, QString());

    const std::vector<RecordedRequest> posts = Posts();
    ASSERT_EQ(posts.size(), 1u);
    EXPECT_EQ(posts[0].Header("SOAPAction"), "\"" + kTestNamespace.toUtf8() + "/AddLogin\"");
    EXPECT_TRUE(posts[0].body.contains(
        QByteArray(QByteArray("<SOAP-ENV:Body><AddLogin xmlns=\"") + kTestNamespace.toUtf8() +
                   "\"><customerID>-5</customerID><ip></ip></AddLogin>")))
        << posts[0].body.toStdString();
}

TEST_F(SoapWireTest, LongBodyArrivesWholeWithItsDeclaredLength) {
    onPost = [](const RecordedRequest& r) {
        return SoapOk(SoapResponse("EncryptDES", QByteArray::number(r.body.size())));
    };
    const QString argument(40000, QLatin1Char('x'));
    auto client = Client();
    const QString answer = client->GetsarnSoap().EncryptDES(argument);

    const std::vector<RecordedRequest> posts = Posts();
    ASSERT_EQ(posts.size(), 1u);
    EXPECT_EQ(posts[0].Header("Content-Length").toLongLong(), posts[0].body.size());
    EXPECT_TRUE(posts[0].Header("Transfer-Encoding").isEmpty());
    EXPECT_TRUE(posts[0].Header("Expect").isEmpty());
    EXPECT_TRUE(posts[0].body.contains(
        QByteArray(QByteArray("<encryptString>") + argument.toUtf8() + "</encryptString>")));
    EXPECT_EQ(answer.toLongLong(), posts[0].body.size());
}

// Each failure a call can end in, with the exact message it carries.
TEST_F(SoapWireTest, FailuresCarryTheirErrorAndMessage) {
    enum Kind { Description, Transport, Message, Fault, Silent };
    struct Row {
        const char* name;
        std::function<void(SoapWireTest&)> arrange;
        Kind kind;
        std::function<QString(SoapWireTest&)> message;  // empty: any message
        int status = 0;
    };
    const auto xmlReply = [](QByteArray body) {
        return [body](SoapWireTest& t) {
            t.onPost = [body](const RecordedRequest&) { return SoapOk(body); };
        };
    };
    const QString ns = kTestNamespace;
    const std::vector<Row> rows{
        {"description missing",
         [](SoapWireTest& t) { t.onGet = [] { return HttpReplyOf(404, "Not Found", "", ""); }; },
         Description,
         [](SoapWireTest& t) {
             return QStringLiteral(
                        "Unable to load WSDL File/Location: %1.  Error [Not Found "
                        "(404) - '%1']")
                 .arg(t.DescriptionUrl());
         }},
        {"description empty",
         [](SoapWireTest& t) { t.onGet = [] { return HttpReplyOf(200, "OK", "text/xml", ""); }; },
         Description,
         [](SoapWireTest& t) {
             return QStringLiteral("Unable to load WSDL File/Location: %1.  Error [Empty document]")
                 .arg(t.DescriptionUrl());
         }},
        {"description not XML",
         [](SoapWireTest& t) {
             t.onGet = [] { return HttpReplyOf(200, "OK", "text/html", "<html><p>hi</html>"); };
         },
         Description,
         {}},
        {"description with a DOCTYPE",
         [](SoapWireTest& t) {
             t.editDescription = [](QByteArray d) {
                 return d.replace("<wsdl:definitions",
                                  "<!DOCTYPE d [<!ENTITY x \"y\">]><wsdl:definitions");
             };
         },
         Description,
         {}},
        {"port not in description",
         [](SoapWireTest& t) {
             t.editDescription = [](QByteArray d) {
                 return d.replace("<wsdl:port name=\"sarnSoap\"", "<wsdl:port name=\"other\"");
             };
         },
         Transport,
         [](SoapWireTest& t) {
             return QStringLiteral(
                        "Unable to retrieve the URL endpoint for Service/Port "
                        "'sarn'/'sarnSoap' from WSDL '%1'")
                 .arg(t.DescriptionUrl());
         }},
        {"endpoint not http",
         [](SoapWireTest& t) {
             t.editDescription = [](QByteArray d) {
                 return d.replace("location=\"http://", "location=\"ftp://");
             };
         },
         Transport,
         [](SoapWireTest& t) {
             return QStringLiteral(
                        "Invalid url 'ftp://%1/SarnWebService/sarn.asmx' - only supports 'http' "
                        "and 'https' schemes")
                 .arg(t.Host());
         }},
        {"nothing listens at the endpoint",
         [](SoapWireTest& t) {
             t.editDescription = [&t](QByteArray d) {
                 return d.replace(t.Host().toUtf8(), "127.0.0.1:1");
             };
         },
         Transport,
         [](SoapWireTest&) {
             return QStringLiteral(
                        "Couldn't connect to server - URL:http://127.0.0.1:1/"
                        "SarnWebService/sarn.asmx - SOAPAction:%1/GetRemoteIP")
                 .arg(kTestNamespace);
         }},
        {"status 404",
         [](SoapWireTest& t) {
             t.onPost = [](const RecordedRequest&) {
                 return HttpReplyOf(404, "Not Found", "text/html", "<html/>");
             };
         },
         Transport,
         [](SoapWireTest& t) { return QStringLiteral("Not Found (404) - '%1'").arg(t.Endpoint()); },
         404},
        {"content type text/plain",
         [](SoapWireTest& t) {
             t.onPost = [](const RecordedRequest&) {
                 return HttpReplyOf(200, "OK", "TEXT/plain", SoapResponse("GetRemoteIP", "1"));
             };
         },
         Transport,
         [](SoapWireTest&) {
             return QStringLiteral(
                 "Received content of invalid Content-Type setting: TEXT/plain "
                 "- SOAP expects \"text/xml\"");
         }},
        {"content type text/html",
         [](SoapWireTest& t) {
             t.onPost = [](const RecordedRequest&) {
                 return HttpReplyOf(200, "OK", "text/html", SoapResponse("GetRemoteIP", "1"));
             };
         },
         Transport,
         [](SoapWireTest&) {
             return QStringLiteral(
                 "Received content of invalid Content-Type setting: text/html "
                 "- SOAP expects \"text/xml\"");
         }},
        {"text/html with a charset is parsed and fails as XML",
         [](SoapWireTest& t) {
             t.onPost = [](const RecordedRequest&) {
                 return HttpReplyOf(200, "OK", "text/html; charset=utf-8", "<html><b></html>");
             };
         },
         Message,
         {}},
        {"credentials prompt cancelled",
         [](SoapWireTest& t) {
             t.onPost = [](const RecordedRequest&) {
                 CannedReply r = HttpReplyOf(401, "Unauthorized", "text/html", "no");
                 r.raw.replace("Content-Length",
                               "WWW-Authenticate: Basic realm=\"x\"\r\n"
                               "Content-Length");
                 return r;
             };
         },
         Silent,
         {}},
        {"reply too large",
         [](SoapWireTest& t) {
             t.onPost = [](const RecordedRequest&) {
                 CannedReply r;
                 r.raw =
                     "HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\n"
                     "Content-Length: 2147483648\r\n\r\n<";
                 r.stall = true;
                 return r;
             };
         },
         Transport,
         [](SoapWireTest& t) {
             return QStringLiteral(
                        "The reply is larger than 1 GiB - URL:%1 - SOAPAction:%2/"
                        "GetRemoteIP")
                 .arg(t.Endpoint(), kTestNamespace);
         }},
        {"fault under status 500",
         [ns](SoapWireTest& t) {
             t.onPost = [](const RecordedRequest&) {
                 return HttpReplyOf(
                     500, "Internal Server Error", "text/xml; charset=utf-8",
                     SoapEnvelope("<soap:Fault><faultcode>soap:Server</faultcode><faultstring>"
                                  "Server was unable to process request.</faultstring><detail/>"
                                  "</soap:Fault>"));
             };
         },
         Fault,
         [](SoapWireTest&) { return QStringLiteral("Server was unable to process request."); },
         500},
        {"wrong root", xmlReply("<Root xmlns=\"urn:x\"/>"), Message,
         [](SoapWireTest&) {
             return QStringLiteral(
                 "DocumentElement http://schemas.xmlsoap.org/soap/envelope/:"
                 "Envelope expected, urn:x:Root found");
         }},
        {"two bodies",
         xmlReply("<e:Envelope xmlns:e=\"http://schemas.xmlsoap.org/soap/envelope/\"><e:Body/>"
                  "<e:Body/></e:Envelope>"),
         Message, [](SoapWireTest&) { return QStringLiteral("Invalid SOAP response"); }},
        {"header that must be understood",
         xmlReply("<e:Envelope xmlns:e=\"http://schemas.xmlsoap.org/soap/envelope/\"><e:Header>"
                  "<h:Auth xmlns:h=\"urn:h\" mustUnderstand=\"TRUE\"/></e:Header><e:Body/>"
                  "</e:Envelope>"),
         Fault,
         [](SoapWireTest&) {
             return QStringLiteral(
                 "Soap header Auth with attribute 'mustUnderstand' set to true "
                 "was not handled");
         }},
        {"no result element", xmlReply(SoapEnvelope("<GetRemoteIPResponse/>")), Message,
         [](SoapWireTest&) {
             return QStringLiteral(
                 "SOAP Response Packet: result element expected, received \"<GetRemoteIPResponse"
                 "/>\"");
         }},
    };

    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        onGet = nullptr;
        editDescription = [](QByteArray d) { return d; };
        onPost = [](const RecordedRequest&) { return SoapOk(SoapResponse("GetRemoteIP", "1")); };
        row.arrange(*this);
        const std::size_t postsBefore = Posts().size();
        http::CredentialsPrompt* none = nullptr;
        struct Cancel : http::CredentialsPrompt {
            std::optional<http::Credentials> AskCredentials(int, const QString&) override {
                return std::nullopt;
            }
        } cancel;
        SoapClientSeams seams;
        seams.credentials = row.kind == Silent ? &cancel : none;
        auto client = Client(seams);
        try {
            client->GetsarnSoap().GetRemoteIP();
            ADD_FAILURE() << "the call succeeded";
            continue;
        } catch (const SilentAbort&) {
            EXPECT_EQ(row.kind, Silent);
        } catch (const DescriptionError& e) {
            EXPECT_EQ(row.kind, Description) << e.what();
            if (row.message) {
                EXPECT_EQ(e.Message(), row.message(*this));
            }
        } catch (const TransportError& e) {
            EXPECT_EQ(row.kind, Transport) << e.what();
            if (row.message) {
                EXPECT_TRUE(e.Message().startsWith(row.message(*this))) << e.what();
            }
            EXPECT_EQ(e.StatusCode(), row.status);
        } catch (const MessageError& e) {
            EXPECT_EQ(row.kind, Message) << e.what();
            if (row.message) {
                EXPECT_EQ(e.Message(), row.message(*this));
            }
        } catch (const ServiceFault& e) {
            EXPECT_EQ(row.kind, Fault) << e.what();
            if (row.message) {
                EXPECT_EQ(e.Message(), row.message(*this));
            }
        }
        if (row.status == 404) {
            EXPECT_EQ(Posts().size(), postsBefore + 1) << "a 404 is not retried";
        }
    }
}

TEST_F(SoapWireTest, FaultCarriesCodeActorAndDetail) {
    onPost = [](const RecordedRequest&) {
        return HttpReplyOf(500, "Internal Server Error", "text/xml",
                           SoapEnvelope("<soap:Fault><FAULTCODE>soap:Client</FAULTCODE>"
                                        "<faultActor>me</faultActor><faultstring>bad</faultstring>"
                                        "<detail><x a=\"1\">y</x></detail></soap:Fault>"));
    };
    auto client = Client();
    try {
        client->GetsarnSoap().Login(QStringLiteral("a"), QStringLiteral("b"));
        FAIL() << "no fault";
    } catch (const ServiceFault& fault) {
        EXPECT_EQ(fault.Message(), QStringLiteral("bad"));
        EXPECT_EQ(fault.FaultCode(), QStringLiteral("soap:Client"));
        EXPECT_EQ(fault.FaultActor(), QStringLiteral("me"));
        EXPECT_EQ(fault.Detail(), QStringLiteral("<detail><x a=\"1\">y</x></detail>"));
    }
}

TEST_F(SoapWireTest, TextHtmlWithCharsetIsReadAsSoap) {
    onPost = [](const RecordedRequest&) {
        return HttpReplyOf(200, "OK", "text/html; charset=utf-8",
                           SoapResponse("GetNewURL", "http://portal/"));
    };
    EXPECT_EQ(Client()->GetsarnSoap().GetNewURL(), QStringLiteral("http://portal/"));
}

TEST_F(SoapWireTest, EmptyBodyGivesTheInitialValue) {
    onPost = [](const RecordedRequest&) { return SoapOk(SoapEnvelope("")); };
    auto client = Client();
    EXPECT_EQ(client->GetsarnSoap().GetNews(), QString());
    EXPECT_EQ(client->GetsarnSoap().Login(QStringLiteral("a"), QStringLiteral("b")), 0);
}

TEST_F(SoapWireTest, TransportFailureOpensNewConnectionWithoutNewDescriptionFetch) {
    int calls = 0;
    onPost = [&calls](const RecordedRequest&) {
        return ++calls == 1 ? HttpReplyOf(503, "Service Unavailable", "text/html", "busy")
                            : SoapOk(SoapResponse("GetRemoteIP", "10.0.0.1"));
    };
    auto client = Client();
    EXPECT_THROW(client->GetsarnSoap().GetRemoteIP(), TransportError);
    EXPECT_EQ(client->GetsarnSoap().GetRemoteIP(), QStringLiteral("10.0.0.1"));

    const std::vector<RecordedRequest> posts = Posts();
    ASSERT_EQ(posts.size(), 2u);
    EXPECT_NE(posts[0].connection, posts[1].connection);
    EXPECT_EQ(Gets(), 1);
}

TEST_F(SoapWireTest, DescriptionFailureIsRetriedByTheNextCall) {
    int gets = 0;
    onGet = [&gets, this] {
        if (++gets == 1) {
            return HttpReplyOf(500, "Internal Server Error", "text/html", "");
        }
        QByteArray d = testing::FixtureBytes(QStringLiteral("sarn.wsdl"));
        return HttpReplyOf(200, "OK", "text/xml", d.replace("@HOST@", Host().toUtf8()));
    };
    auto client = Client();
    EXPECT_THROW(client->GetsarnSoap().GetRemoteIP(), DescriptionError);
    EXPECT_EQ(client->GetsarnSoap().GetRemoteIP(), QStringLiteral("10.1.2.3"));
    EXPECT_EQ(gets, 2);
}

TEST_F(SoapWireTest, StalledServerTimesOutAsTransportError) {
    onPost = [](const RecordedRequest&) {
        CannedReply r;
        r.raw = "HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\nContent-Length: 500\r\n\r\n<";
        r.stall = true;
        return r;
    };
    SoapClientSeams seams;
    seams.timeouts.stall = std::chrono::milliseconds(300);
    auto client = Client(seams);
    try {
        client->GetsarnSoap().GetRemoteIP();
        FAIL() << "a stalled reply was accepted";
    } catch (const TransportError& e) {
        EXPECT_EQ(e.StatusCode(), 0);
        EXPECT_TRUE(e.Message().startsWith(QStringLiteral("Timeout was reached - URL:")))
            << e.what();
    }
}

TEST_F(SoapWireTest, SlowButMovingReplyIsNotCut) {
    const QByteArray envelope = SoapResponse("GetNews", "news");
    onPost = [envelope](const RecordedRequest&) {
        CannedReply r = HttpReplyOf(200, "OK", "text/xml", envelope);
        const qsizetype head = r.raw.size() - envelope.size();
        for (qsizetype at = head; at < r.raw.size(); at += envelope.size() / 8 + 1) {
            r.trickle << r.raw.mid(at, envelope.size() / 8 + 1);
        }
        r.raw.truncate(head);
        r.gapMilliseconds = 150;  // over a second in all, with a 0.3 s stall limit
        return r;
    };
    SoapClientSeams seams;
    seams.timeouts.stall = std::chrono::milliseconds(300);
    EXPECT_EQ(Client(seams)->GetsarnSoap().GetNews(), QStringLiteral("news"));
}

TEST_F(SoapWireTest, CredentialsAnswerResendsWithThem) {
    onPost = [](const RecordedRequest& r) {
        if (r.Header("Authorization") != "Basic " + QByteArray("ann:pw").toBase64()) {
            CannedReply denied = HttpReplyOf(401, "Unauthorized", "text/html", "no");
            denied.raw.replace("Content-Length",
                               "WWW-Authenticate: Basic realm=\"x\"\r\nContent-Length");
            return denied;
        }
        return SoapOk(SoapResponse("Login", "7"));
    };
    struct Answer : http::CredentialsPrompt {
        int asked = 0;
        std::optional<http::Credentials> AskCredentials(int status, const QString&) override {
            ++asked;
            EXPECT_EQ(status, 401);
            return http::Credentials{QStringLiteral("ann"), QStringLiteral("pw")};
        }
    } answer;
    SoapClientSeams seams;
    seams.credentials = &answer;
    auto client = Client(seams);
    EXPECT_EQ(client->GetsarnSoap().Login(QStringLiteral("a"), QStringLiteral("b")), 7);
    EXPECT_EQ(answer.asked, 1);
}

TEST_F(SoapWireTest, ImportedBindingAndAddressAreFound) {
    onPost = [](const RecordedRequest&) { return SoapOk(SoapResponse("Login", "3")); };
    auto client = ClientFor(QStringLiteral("sarn-import-main.wsdl"));
    EXPECT_EQ(client->GetsarnSoap().Login(QStringLiteral("a"), QStringLiteral("b")), 3);
    EXPECT_EQ(client->GetsarnSoap().Login(QStringLiteral("a"), QStringLiteral("b")), 3);

    const std::vector<RecordedRequest> posts = Posts();
    ASSERT_EQ(posts.size(), 2u);
    EXPECT_EQ(posts[0].Header("SOAPAction"), "\"" + kTestNamespace.toUtf8() + "/Login\"");
    EXPECT_EQ(posts[0].requestLine, "POST /SarnWebService/sarn.asmx HTTP/1.1");
    EXPECT_EQ(Gets(), 2) << "the main document and its import, each once";
}

TEST_F(SoapWireTest, MissingSoapActionUsesTheRegisteredDefault) {
    RegisterSarnSoap(QStringLiteral("urn:registered"));
    onPost = [](const RecordedRequest&) { return SoapOk(SoapResponse("Login", "1")); };
    auto client = ClientFor(QStringLiteral("sarn-noaction.wsdl"));
    client->GetsarnSoap().Login(QStringLiteral("a"), QStringLiteral("b"));
    const std::vector<RecordedRequest> posts = Posts();
    ASSERT_EQ(posts.size(), 1u);
    EXPECT_EQ(posts[0].Header("SOAPAction"), "\"urn:registered/Login\"");
    EXPECT_TRUE(posts[0].body.contains("<Login xmlns=\"urn:registered\">"));
}

TEST_F(SoapWireTest, LocalFileDescriptionIsReadWithoutAGet) {
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("sarn.wsdl")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        testing::FixtureBytes(QStringLiteral("sarn.wsdl")).replace("@HOST@", Host().toUtf8()));
    file.close();
    onPost = [](const RecordedRequest&) { return SoapOk(SoapResponse("Login", "4")); };

    auto client = Client();
    client->SetWSDLLocation(QStringLiteral("  ") + file.fileName() + QStringLiteral(" "));
    client->SetService(QStringLiteral("sarn"));
    client->SetPort(QStringLiteral("sarnSoap"));
    EXPECT_EQ(client->GetsarnSoap().Login(QStringLiteral("a"), QStringLiteral("b")), 4);
    EXPECT_EQ(Gets(), 0);
    EXPECT_EQ(Posts().size(), 1u);
}

}  // namespace
}  // namespace sarn
