#include "RunningService.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <vector>

namespace sarndev::test {
namespace {

struct ExpectedOperation {
    std::string name;
    std::vector<std::string> parameters;
    std::string resultType;  // empty for a void operation
};

// The contract as a client knows it: names, parameter names and their order.
const std::vector<ExpectedOperation> kContract = {
    {"AddLogin", {"customerID", "ip"}, ""},
    {"AddLogOut", {"customerID", "ip"}, ""},
    {"GetNewVersionNumber", {}, "s:string"},
    {"GetNewUpdateFile", {}, "s:string"},
    {"EncryptDES", {"encryptString"}, "s:string"},
    {"EncryptDESCustomDecryptKey", {"decryptKey", "encryptString"}, "s:string"},
    {"DecryptDES", {"encryptString"}, "s:string"},
    {"DecryptDESCustomDecryptKey", {"decryptKey", "encryptString"}, "s:string"},
    {"GetRemoteIP", {}, "s:string"},
    {"GetOldURL", {}, "s:string"},
    {"GetNewURL", {}, "s:string"},
    {"GetNews", {}, "s:string"},
    {"Login", {"loginName", "password"}, "s:int"},
    {"Register", {"loginName", "password", "mobile", "email", "provinces", "city"}, "s:int"},
    {"GetCustomerProduct", {"customerID"}, "s:string"},
};

pugi::xml_node Named(pugi::xml_node parent, const char* element, const std::string& name) {
    return parent.find_child_by_attribute(element, "name", name.c_str());
}

// Every address in the description follows the Host header the caller used, so a client built
// for another host name finds its own namespace there.
TEST(ServiceDescription, HasTheAsmxShapeForTheCallersHost) {
    RunningService service;
    auto res =
        service.Http()->Get("/SarnWebService/sarn.asmx?wsdl", {{"Host", "svc.example:8123"}});
    ASSERT_TRUE(res);
    ASSERT_EQ(res->status, 200);
    EXPECT_EQ(res->get_header_value("Content-Type"), "text/xml; charset=utf-8");
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(res->body.c_str()));
    const std::string ns = "http://svc.example:8123/ZODevEduriza3.0.1";
    const std::string endpoint = "http://svc.example:8123/SarnWebService/sarn.asmx";

    pugi::xml_node defs = doc.child("wsdl:definitions");
    EXPECT_EQ(defs.attribute("targetNamespace").value(), ns);
    EXPECT_EQ(defs.attribute("xmlns:tns").value(), ns);
    pugi::xml_node schema = defs.child("wsdl:types").child("s:schema");
    EXPECT_STREQ(schema.attribute("elementFormDefault").value(), "qualified");
    EXPECT_EQ(schema.attribute("targetNamespace").value(), ns);

    for (const ExpectedOperation& op : kContract) {
        SCOPED_TRACE(op.name);
        std::vector<std::string> names;
        for (pugi::xml_node p : Named(schema, "s:element", op.name)
                                    .child("s:complexType")
                                    .child("s:sequence")
                                    .children("s:element")) {
            names.push_back(p.attribute("name").value());
        }
        EXPECT_EQ(names, op.parameters);
        pugi::xml_node result = Named(schema, "s:element", op.name + "Response")
                                    .child("s:complexType")
                                    .child("s:sequence")
                                    .child("s:element");
        EXPECT_EQ(result.attribute("type").value(), op.resultType);
        if (!op.resultType.empty()) {
            EXPECT_EQ(result.attribute("name").value(), op.name + "Result");
        }
        EXPECT_TRUE(Named(defs.child("wsdl:portType"), "wsdl:operation", op.name));
        for (const char* binding : {"sarnSoap", "sarnSoap12"}) {
            const std::string prefix = std::string(binding) == "sarnSoap" ? "soap" : "soap12";
            pugi::xml_node o =
                Named(Named(defs, "wsdl:binding", binding), "wsdl:operation", op.name)
                    .child((prefix + ":operation").c_str());
            EXPECT_EQ(o.attribute("soapAction").value(), ns + "/" + op.name) << binding;
            EXPECT_STREQ(o.attribute("style").value(), "document");
        }
    }
    pugi::xml_node svc = Named(defs, "wsdl:service", "sarn");
    EXPECT_EQ(
        Named(svc, "wsdl:port", "sarnSoap").child("soap:address").attribute("location").value(),
        endpoint);
    EXPECT_EQ(
        Named(svc, "wsdl:port", "sarnSoap12").child("soap12:address").attribute("location").value(),
        endpoint);
    EXPECT_STREQ(Named(svc, "wsdl:port", "sarnSoap").attribute("binding").value(), "tns:sarnSoap");
}

TEST(ServiceDescription, ReplyIsAnAsmxEnvelopeInTheTargetNamespace) {
    RunningService service;
    RunningService::Reply reply = service.Call("GetRemoteIP");
    EXPECT_EQ(reply.status, 200);
    EXPECT_EQ(reply.contentType, "text/xml; charset=utf-8");
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(reply.body.c_str()));
    pugi::xml_node env = doc.document_element();
    EXPECT_STREQ(env.name(), "soap:Envelope");
    EXPECT_STREQ(env.attribute("xmlns:soap").value(), "http://schemas.xmlsoap.org/soap/envelope/");
    pugi::xml_node response = env.child("soap:Body").child("GetRemoteIPResponse");
    EXPECT_EQ(response.attribute("xmlns").value(), service.Namespace());
    EXPECT_STREQ(response.child("GetRemoteIPResult").text().get(), "127.0.0.1");

    // A void operation answers with an empty response element.
    reply = service.Call("AddLogin", {{"customerID", "-5"}, {"ip", ""}});
    EXPECT_EQ(reply.status, 200);
    ASSERT_TRUE(doc.load_string(reply.body.c_str()));
    response = doc.document_element().child("soap:Body").child("AddLoginResponse");
    ASSERT_TRUE(response);
    EXPECT_FALSE(response.first_child());
}

}  // namespace
}  // namespace sarndev::test
