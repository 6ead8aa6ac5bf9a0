#include "RunningService.h"

#include "platform/CodePage.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace sarndev::test {
namespace {

using Params = std::vector<std::pair<std::string, std::string>>;

Params Registration(const std::string& name, const std::string& mobile, const std::string& email) {
    return {{"loginName", name},   {"password", "0123456789abcdef"},
            {"mobile", mobile},    {"email", email},
            {"provinces", "广东"}, {"city", "深圳"}};
}

TEST(ServiceAccounts, RegisterAndLoginGiveTheirResultCodes) {
    RunningService service;
    const std::string first =
        service.Result("Register", Registration("张三", "13800000000", "a@x.cn"));
    ASSERT_GT(std::stoi(first), 0);
    struct Case {
        Params params;
        const char* result;
    };
    const Case taken[] = {
        {Registration("张三", "13900000000", "b@x.cn"), "-1"},
        {Registration("李四", "13800000000", "b@x.cn"), "-2"},
        {Registration("李四", "13900000000", "a@x.cn"), "-3"},
    };
    for (const Case& c : taken) {
        EXPECT_EQ(service.Result("Register", c.params), c.result) << c.params[0].second;
    }
    const std::string second =
        service.Result("Register", Registration("李四", "13900000000", "b@x.cn"));
    EXPECT_GT(std::stoi(second), std::stoi(first));

    EXPECT_EQ(service.Result("Login", {{"loginName", "张三"}, {"password", "0123456789abcdef"}}),
              first);
    EXPECT_EQ(service.Result("Login", {{"loginName", "张三"}, {"password", "0123456789abcdeF"}}),
              "-1");
    EXPECT_EQ(service.Result("Login", {{"loginName", "王五"}, {"password", "0123456789abcdef"}}),
              "-1");
    EXPECT_EQ(service.Result("GetCustomerProduct", {{"customerID", first}}),
              "Sarn资讯终端 专业版 - 张三");
}

TEST(ServiceAccounts, SurviveARestart) {
    QTemporaryDir dir;
    std::string id;
    {
        RunningService service({}, dir.path());
        id = service.Result("Register", Registration("abc", "", ""));
        // An idle kept-alive connection must not hold the stop up.
        auto idle = service.Http();
        ASSERT_TRUE(idle->Get("/qkHome/aboutgsjs.html"));
        EXPECT_EQ(service.Stop(), 0);
    }
    RunningService again({}, dir.path());
    EXPECT_EQ(again.Result("Login", {{"loginName", "abc"}, {"password", "0123456789abcdef"}}), id);
}

TEST(ServiceCipher, RoundTripsEveryTextAndRefusesGarbage) {
    RunningService service;
    for (const std::string text : {"", "abc", "张三 李四", "<&>\"'", "line1\r\nline2", "😀 €"}) {
        const std::string sealed = service.Result("EncryptDES", {{"encryptString", text}});
        EXPECT_NE(sealed, text);
        EXPECT_TRUE(QByteArray::fromBase64Encoding(QByteArray::fromStdString(sealed),
                                                   QByteArray::AbortOnBase64DecodingErrors))
            << sealed;
        EXPECT_EQ(service.Result("DecryptDES", {{"encryptString", sealed}}), text);
        const std::string custom = service.Result(
            "EncryptDESCustomDecryptKey", {{"decryptKey", "k3y!k3y!"}, {"encryptString", text}});
        EXPECT_EQ(service.Result("DecryptDESCustomDecryptKey",
                                 {{"decryptKey", "k3y!k3y!"}, {"encryptString", custom}}),
                  text);
    }
    for (const std::string garbage : {"", "not base64!", "QUJD", "AAAAAAAAAAA="}) {
        RunningService::Reply reply = service.Call("DecryptDES", {{"encryptString", garbage}});
        EXPECT_EQ(reply.status, 500) << garbage;
        EXPECT_NE(reply.body.find("<faultcode>soap:Client</faultcode>"), std::string::npos);
    }
    EXPECT_EQ(
        service
            .Call("EncryptDESCustomDecryptKey", {{"decryptKey", "short"}, {"encryptString", "x"}})
            .status,
        500);
}

TEST(ServiceSessions, LoginAndLogoutReportsAreRecorded) {
    RunningService service;
    EXPECT_EQ(service.Call("AddLogin", {{"customerID", "7"}, {"ip", "10.0.0.8"}}).status, 200);
    EXPECT_EQ(service.Call("AddLogOut", {{"customerID", "7"}, {"ip", ""}}).status, 200);
    RunningService::Admin events = service.Run({QStringLiteral("events")});
    ASSERT_EQ(events.exitCode, 0);
    EXPECT_NE(events.out.find("\tlogin\t7\t10.0.0.8\t127.0.0.1\n"), std::string::npos)
        << events.out;
    EXPECT_NE(events.out.find("\tlogout\t7\t\t127.0.0.1\n"), std::string::npos) << events.out;
    EXPECT_LT(events.out.find("login"), events.out.find("logout"));
}

TEST(ServicePortal, GreetsTheUserWhoseDigestMatchesAndEscapesTheName) {
    RunningService service;
    const std::string name = "a b&c<i>张";
    service.Result("Register", Registration(name, "", ""));
    const std::string url = service.Result("GetNewURL");
    const std::string prefix = "http://" + service.Host();
    ASSERT_EQ(url, prefix + "/portal/index.html");
    const std::string path = url.substr(prefix.size());
    auto http = service.Http();

    // The client appends the query unescaped; the HTTP client here percent-encodes blanks and
    // non-ASCII as a browser does.
    auto res = http->Get(path + "?UserName=" + name + "&Pwd=0123456789abcdef");
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 200);
    EXPECT_NE(res->body.find("a b&amp;c&lt;i&gt;张"), std::string::npos) << res->body;
    EXPECT_EQ(res->body.find("<i>"), std::string::npos);

    for (const std::string& query :
         {"?UserName=" + name + "&Pwd=fedcba9876543210",
          std::string("?UserName=nobody&Pwd=0123456789abcdef"), std::string()}) {
        res = http->Get(path + query);
        ASSERT_TRUE(res);
        EXPECT_EQ(res->status, 403) << query;
        EXPECT_EQ(res->body.find("欢迎您"), std::string::npos);
    }
    const std::string old = service.Result("GetOldURL");
    res = http->Get(old.substr(prefix.size()) + "?UserName=" + name + "&Pwd=0123456789abcdef");
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 200);
    for (const char* page : {"/qkHome/servicezhmm.aspx", "/qkHome/aboutgsjs.html"}) {
        res = http->Get(page);
        ASSERT_TRUE(res);
        EXPECT_EQ(res->status, 200) << page;
        EXPECT_EQ(res->get_header_value("Content-Type"), "text/html; charset=utf-8");
    }
}

TEST(ServiceNotice, IsTheBase64OfItsGbkBytes) {
    RunningService service;
    auto notice = [&] {
        return QByteArray::fromBase64(QByteArray::fromStdString(service.Result("GetNews")));
    };
    EXPECT_TRUE(sarn::FromAnsi(notice()).startsWith(QStringLiteral("欢迎使用Sarn资讯终端")));

    ASSERT_EQ(service.Run({QStringLiteral("notice"), QStringLiteral("第一行\n第二行")}).exitCode,
              0);
    EXPECT_EQ(notice(), sarn::ToAnsi(QStringLiteral("第一行\r\n第二行")));
    ASSERT_EQ(service.Run({QStringLiteral("notice"), QString()}).exitCode, 0);
    EXPECT_EQ(service.Result("GetNews"), "");
}

TEST(ServiceUpdate, PublishedImageComesBackAsItsBase64) {
    RunningService service;
    EXPECT_EQ(service.Result("GetNewVersionNumber"), "");
    EXPECT_EQ(service.Result("GetNewUpdateFile"), "");

    QTemporaryDir dir;
    // Sizes across the 48 KiB pieces the reply is encoded in, each with a different remainder.
    for (qsizetype size : {1, 49152, 49153 * 3 + 2}) {
        QByteArray image(size, Qt::Uninitialized);
        for (char& c : image)
            c = static_cast<char>(QRandomGenerator::global()->bounded(256));
        QFile file(dir.filePath(QStringLiteral("image.exe")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(image);
        file.close();
        const QString version = QStringLiteral("2.0.%1").arg(size);
        ASSERT_EQ(service.Run({QStringLiteral("publish"), version, file.fileName()}).exitCode, 0);
        EXPECT_EQ(service.Result("GetNewVersionNumber"), version.toStdString());
        EXPECT_EQ(service.Result("GetNewUpdateFile"), image.toBase64().toStdString()) << size;
    }
}

TEST(ServiceStall, HoldsTheReplyBackAndStillStopsCleanly) {
    RunningService service({QStringLiteral("--stall-after-bytes"), QStringLiteral("100")});
    auto http = service.Http();
    http->set_read_timeout(1);
    auto res = http->Post(
        "/SarnWebService/sarn.asmx", {},
        "<?xml version=\"1.0\"?><s:Envelope xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\">"
        "<s:Body><GetRemoteIP xmlns=\"" +
            service.Namespace() + "\"/></s:Body></s:Envelope>",
        "text/xml");
    EXPECT_FALSE(res);
    EXPECT_EQ(service.Stop(), 0);
}

}  // namespace
}  // namespace sarndev::test
