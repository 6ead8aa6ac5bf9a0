#include "RunningService.h"

#include <gtest/gtest.h>

namespace sarndev::test {
namespace {

void ExpectClientFault(const RunningService::Reply& reply, const std::string& what) {
    EXPECT_EQ(reply.status, 500) << what;
    EXPECT_EQ(reply.contentType, "text/xml; charset=utf-8") << what;
    EXPECT_NE(reply.body.find("<soap:Fault><faultcode>soap:Client</faultcode><faultstring>"),
              std::string::npos)
        << what << ": " << reply.body;
}

TEST(ServiceBadRequests, AreAnsweredWithFaultsAndTheServiceGoesOn) {
    RunningService service;
    const std::string ns = service.Namespace();
    struct Case {
        const char* what;
        std::string body;
        std::optional<std::string> action;
    };
    const Case cases[] = {
        {"unknown operation", "<Frobnicate xmlns=\"" + ns + "\"/>", std::nullopt},
        {"other namespace", "<GetRemoteIP xmlns=\"http://other/ZODevEduriza3.0.1\"/>",
         std::nullopt},
        {"no namespace", "<GetRemoteIP/>", std::nullopt},
        {"empty body", "", std::nullopt},
        {"missing parameter", "<Login xmlns=\"" + ns + "\"><loginName>a</loginName></Login>",
         "Login"},
        {"unqualified parameter",
         "<Login xmlns=\"" + ns +
             "\"><loginName xmlns=\"\">a</loginName><password>b</password></Login>",
         "Login"},
        {"integer that is not one",
         "<GetCustomerProduct xmlns=\"" + ns +
             "\"><customerID>12a</customerID></GetCustomerProduct>",
         "GetCustomerProduct"},
        {"integer out of range",
         "<GetCustomerProduct xmlns=\"" + ns +
             "\"><customerID>2147483648</customerID></GetCustomerProduct>",
         "GetCustomerProduct"},
        {"SOAPAction of another operation", "<GetRemoteIP xmlns=\"" + ns + "\"/>", "GetNews"},
    };
    for (const Case& c : cases) {
        ExpectClientFault(service.Post(c.body, c.action), c.what);
    }

    auto http = service.Http();
    for (const std::string& body : {std::string("not xml at all"), std::string("<a><b></a>"),
                                    std::string("<Envelope><Body/></Envelope>")}) {
        auto res = http->Post("/SarnWebService/sarn.asmx", body, "text/xml");
        ASSERT_TRUE(res);
        ExpectClientFault({res->status, res->get_header_value("Content-Type"), res->body}, body);
    }

    // Larger than the service reads: drained and refused, and the same connection still works.
    std::string huge(17u << 20, ' ');
    auto res = http->Post("/SarnWebService/sarn.asmx", huge, "text/xml");
    ASSERT_TRUE(res);
    ExpectClientFault({res->status, res->get_header_value("Content-Type"), res->body}, "huge body");

    EXPECT_EQ(service.Result("GetRemoteIP"), "127.0.0.1");
}

// The description offers a SOAP 1.2 binding too; its callers get replies and faults in 1.2.
TEST(ServiceBadRequests, Soap12CallsAreAnsweredInTheirOwnVersion) {
    RunningService service;
    auto post = [&](const std::string& call) {
        return service.Http()->Post("/SarnWebService/sarn.asmx",
                                    "<?xml version=\"1.0\"?><e:Envelope "
                                    "xmlns:e=\"http://www.w3.org/2003/05/soap-envelope\">"
                                    "<e:Body>" +
                                        call + "</e:Body></e:Envelope>",
                                    "application/soap+xml; charset=utf-8");
    };
    const std::string open =
        "<Login xmlns=\"" + service.Namespace() + "\"><loginName>x</loginName>";
    auto res = post(open + "<password>y</password></Login>");
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 200);
    EXPECT_EQ(res->get_header_value("Content-Type"), "application/soap+xml; charset=utf-8");
    EXPECT_NE(res->body.find("<LoginResult>-1</LoginResult>"), std::string::npos) << res->body;

    res = post(open + "</Login>");
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 500);
    EXPECT_NE(res->body.find("<soap12:Value>soap12:Sender</soap12:Value>"), std::string::npos)
        << res->body;
}

}  // namespace
}  // namespace sarndev::test
