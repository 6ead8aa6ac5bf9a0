#include "devservice/Soap.h"

#include "devservice/Text.h"

#include <pugixml.hpp>

#include <cerrno>
#include <cstdlib>
#include <sstream>

namespace sarndev {

namespace {

constexpr const char* kSoap11Envelope = "http://schemas.xmlsoap.org/soap/envelope/";
constexpr const char* kSoap12Envelope = "http://www.w3.org/2003/05/soap-envelope";
constexpr const char* kXsd = "http://www.w3.org/2001/XMLSchema";
constexpr const char* kXsi = "http://www.w3.org/2001/XMLSchema-instance";

std::string_view LocalName(std::string_view qname) {
    auto colon = qname.find(':');
    return colon == std::string_view::npos ? qname : qname.substr(colon + 1);
}

std::string_view Prefix(std::string_view qname) {
    auto colon = qname.find(':');
    return colon == std::string_view::npos ? std::string_view() : qname.substr(0, colon);
}

// The namespace a prefix stands for at this element ("" for the default namespace).
std::string NamespaceOf(pugi::xml_node node, std::string_view prefix) {
    std::string attr = prefix.empty() ? "xmlns" : "xmlns:" + std::string(prefix);
    for (pugi::xml_node n = node; n; n = n.parent()) {
        if (pugi::xml_attribute a = n.attribute(attr.c_str())) {
            return a.value();
        }
    }
    return {};
}

std::string ElementNamespace(pugi::xml_node node) {
    return NamespaceOf(node, Prefix(node.name()));
}

std::string Envelope(SoapVersion version, const std::string& body) {
    const char* ns = version == SoapVersion::V11 ? kSoap11Envelope : kSoap12Envelope;
    const char* prefix = version == SoapVersion::V11 ? "soap" : "soap12";
    std::string out = "<?xml version=\"1.0\" encoding=\"utf-8\"?>";
    out += std::string("<") + prefix + ":Envelope xmlns:" + prefix + "=\"" + ns +
           "\" xmlns:xsi=\"" + kXsi + "\" xmlns:xsd=\"" + kXsd + "\"><" + prefix + ":Body>";
    out += body;
    out += std::string("</") + prefix + ":Body></" + prefix + ":Envelope>";
    return out;
}

const char* XsdName(XsdType t) {
    return t == XsdType::Int ? "s:int" : "s:string";
}

}  // namespace

const std::vector<Operation>& Contract() {
    using enum XsdType;
    static const std::vector<Operation> contract = {
        {"AddLogin", {{"customerID", Int}, {"ip", String}}, std::nullopt},
        {"AddLogOut", {{"customerID", Int}, {"ip", String}}, std::nullopt},
        {"GetNewVersionNumber", {}, String},
        {"GetNewUpdateFile", {}, String},
        {"EncryptDES", {{"encryptString", String}}, String},
        {"EncryptDESCustomDecryptKey", {{"decryptKey", String}, {"encryptString", String}}, String},
        {"DecryptDES", {{"encryptString", String}}, String},
        {"DecryptDESCustomDecryptKey", {{"decryptKey", String}, {"encryptString", String}}, String},
        {"GetRemoteIP", {}, String},
        {"GetOldURL", {}, String},
        {"GetNewURL", {}, String},
        {"GetNews", {}, String},
        {"Login", {{"loginName", String}, {"password", String}}, Int},
        {"Register",
         {{"loginName", String},
          {"password", String},
          {"mobile", String},
          {"email", String},
          {"provinces", String},
          {"city", String}},
         Int},
        {"GetCustomerProduct", {{"customerID", Int}}, String},
    };
    return contract;
}

const Operation* FindOperation(std::string_view name) {
    for (const Operation& op : Contract()) {
        if (name == op.name)
            return &op;
    }
    return nullptr;
}

std::string NamespaceFor(const std::string& host) {
    return "http://" + host + "/ZODevEduriza3.0.1";
}

std::string EndpointFor(const std::string& host) {
    return "http://" + host + "/SarnWebService/sarn.asmx";
}

std::string DescriptionXml(const std::string& host) {
    const std::string ns = NamespaceFor(host);
    pugi::xml_document doc;
    auto defs = doc.append_child("wsdl:definitions");
    defs.append_attribute("xmlns:soap") = "http://schemas.xmlsoap.org/wsdl/soap/";
    defs.append_attribute("xmlns:tm") = "http://microsoft.com/wsdl/mime/textMatching/";
    defs.append_attribute("xmlns:soapenc") = "http://schemas.xmlsoap.org/soap/encoding/";
    defs.append_attribute("xmlns:mime") = "http://schemas.xmlsoap.org/wsdl/mime/";
    defs.append_attribute("xmlns:tns") = ns.c_str();
    defs.append_attribute("xmlns:s") = kXsd;
    defs.append_attribute("xmlns:soap12") = "http://schemas.xmlsoap.org/wsdl/soap12/";
    defs.append_attribute("xmlns:http") = "http://schemas.xmlsoap.org/wsdl/http/";
    defs.append_attribute("targetNamespace") = ns.c_str();
    defs.append_attribute("xmlns:wsdl") = "http://schemas.xmlsoap.org/wsdl/";

    auto schema = defs.append_child("wsdl:types").append_child("s:schema");
    schema.append_attribute("elementFormDefault") = "qualified";
    schema.append_attribute("targetNamespace") = ns.c_str();
    auto element = [&](pugi::xml_node seq, const std::string& name, XsdType type) {
        auto e = seq.append_child("s:element");
        e.append_attribute("minOccurs") = type == XsdType::Int ? "1" : "0";
        e.append_attribute("maxOccurs") = "1";
        e.append_attribute("name") = name.c_str();
        e.append_attribute("type") = XsdName(type);
    };
    for (const Operation& op : Contract()) {
        auto in = schema.append_child("s:element");
        in.append_attribute("name") = op.name;
        auto inType = in.append_child("s:complexType");
        if (!op.parameters.empty()) {
            auto seq = inType.append_child("s:sequence");
            for (const Parameter& p : op.parameters)
                element(seq, p.name, p.type);
        }
        auto out = schema.append_child("s:element");
        out.append_attribute("name") = (std::string(op.name) + "Response").c_str();
        auto outType = out.append_child("s:complexType");
        if (op.result) {
            element(outType.append_child("s:sequence"), std::string(op.name) + "Result",
                    *op.result);
        }
    }
    for (const Operation& op : Contract()) {
        for (const char* dir : {"SoapIn", "SoapOut"}) {
            auto m = defs.append_child("wsdl:message");
            m.append_attribute("name") = (std::string(op.name) + dir).c_str();
            auto part = m.append_child("wsdl:part");
            part.append_attribute("name") = "parameters";
            std::string el = std::string("tns:") + op.name + (dir[4] == 'O' ? "Response" : "");
            part.append_attribute("element") = el.c_str();
        }
    }
    auto portType = defs.append_child("wsdl:portType");
    portType.append_attribute("name") = "sarnSoap";
    for (const Operation& op : Contract()) {
        auto o = portType.append_child("wsdl:operation");
        o.append_attribute("name") = op.name;
        o.append_child("wsdl:input").append_attribute("message") =
            (std::string("tns:") + op.name + "SoapIn").c_str();
        o.append_child("wsdl:output").append_attribute("message") =
            (std::string("tns:") + op.name + "SoapOut").c_str();
    }
    for (const char* prefix : {"soap", "soap12"}) {
        const std::string p = prefix;
        auto binding = defs.append_child("wsdl:binding");
        binding.append_attribute("name") = p == "soap" ? "sarnSoap" : "sarnSoap12";
        binding.append_attribute("type") = "tns:sarnSoap";
        binding.append_child((p + ":binding").c_str()).append_attribute("transport") =
            "http://schemas.xmlsoap.org/soap/http";
        for (const Operation& op : Contract()) {
            auto o = binding.append_child("wsdl:operation");
            o.append_attribute("name") = op.name;
            auto so = o.append_child((p + ":operation").c_str());
            so.append_attribute("soapAction") = (ns + "/" + op.name).c_str();
            so.append_attribute("style") = "document";
            o.append_child("wsdl:input")
                .append_child((p + ":body").c_str())
                .append_attribute("use") = "literal";
            o.append_child("wsdl:output")
                .append_child((p + ":body").c_str())
                .append_attribute("use") = "literal";
        }
    }
    auto service = defs.append_child("wsdl:service");
    service.append_attribute("name") = "sarn";
    for (const char* prefix : {"soap", "soap12"}) {
        const std::string p = prefix;
        auto port = service.append_child("wsdl:port");
        port.append_attribute("name") = p == "soap" ? "sarnSoap" : "sarnSoap12";
        port.append_attribute("binding") = p == "soap" ? "tns:sarnSoap" : "tns:sarnSoap12";
        port.append_child((p + ":address").c_str()).append_attribute("location") =
            EndpointFor(host).c_str();
    }
    std::ostringstream text;
    doc.save(text, "  ", pugi::format_default | pugi::format_no_declaration);
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n" + text.str();
}

SoapRequest ParseRequest(std::string_view body, const std::string& serviceNamespace,
                         const std::optional<std::string>& soapAction, SoapVersion& version) {
    pugi::xml_document doc;
    pugi::xml_parse_result parsed = doc.load_buffer(body.data(), body.size());
    if (!parsed) {
        throw SoapFault(true,
                        std::string("Server was unable to read request. ---> There is an error "
                                    "in XML document: ") +
                            parsed.description() + ".");
    }
    pugi::xml_node envelope = doc.document_element();
    SoapRequest request;
    std::string envNs = ElementNamespace(envelope);
    if (LocalName(envelope.name()) != "Envelope" ||
        (envNs != kSoap11Envelope && envNs != kSoap12Envelope)) {
        throw SoapFault(true,
                        "Server was unable to read request: the root element is not a SOAP "
                        "Envelope.");
    }
    request.version = envNs == kSoap11Envelope ? SoapVersion::V11 : SoapVersion::V12;
    version = request.version;
    pugi::xml_node bodyNode;
    for (pugi::xml_node child : envelope.children()) {
        if (child.type() == pugi::node_element && LocalName(child.name()) == "Body" &&
            ElementNamespace(child) == envNs) {
            bodyNode = child;
            break;
        }
    }
    if (!bodyNode) {
        throw SoapFault(true, "Server was unable to read request: the Envelope has no Body.");
    }
    pugi::xml_node call =
        bodyNode.find_child([](pugi::xml_node n) { return n.type() == pugi::node_element; });
    if (!call) {
        throw SoapFault(true, "Server did not recognize the value of HTTP Header SOAPAction: " +
                                  soapAction.value_or("") + ".");
    }
    std::string name(LocalName(call.name()));
    const Operation* op = FindOperation(name);
    if (!op || ElementNamespace(call) != serviceNamespace) {
        throw SoapFault(true, "Server did not recognize the request element " + name + " in " +
                                  ElementNamespace(call) + ".");
    }
    if (soapAction) {
        std::string action = *soapAction;
        if (action.size() >= 2 && action.front() == '"' && action.back() == '"') {
            action = action.substr(1, action.size() - 2);
        }
        if (!action.empty() && action != serviceNamespace + "/" + op->name) {
            throw SoapFault(true, "Server did not recognize the value of HTTP Header SOAPAction: " +
                                      action + ".");
        }
    }
    request.operation = op;
    for (const Parameter& p : op->parameters) {
        pugi::xml_node arg;
        for (pugi::xml_node child : call.children()) {
            if (child.type() == pugi::node_element && LocalName(child.name()) == p.name &&
                ElementNamespace(child) == serviceNamespace) {
                arg = child;
                break;
            }
        }
        if (!arg) {
            throw SoapFault(true, std::string("Missing parameter: ") + p.name + ".");
        }
        request.arguments.emplace_back(arg.text().get());
    }
    return request;
}

ReplyFrame ResponseFrame(SoapVersion version, const std::string& serviceNamespace,
                         const Operation& op) {
    const std::string name = op.name;
    std::string whole = Envelope(
        version, "<" + name + "Response xmlns=\"" + MarkupEscape(serviceNamespace) + "\"><" + name +
                     "Result>\x01</" + name + "Result></" + name + "Response>");
    auto mark = whole.find('\x01');
    return {whole.substr(0, mark), whole.substr(mark + 1)};
}

std::string ResponseXml(SoapVersion version, const std::string& serviceNamespace,
                        const Operation& op, const std::string& result) {
    if (!op.result) {
        return Envelope(version, std::string("<") + op.name + "Response xmlns=\"" +
                                     MarkupEscape(serviceNamespace) + "\" />");
    }
    ReplyFrame frame = ResponseFrame(version, serviceNamespace, op);
    return frame.head + MarkupEscape(result) + frame.tail;
}

std::string FaultXml(SoapVersion version, bool clientsFault, const std::string& message) {
    if (version == SoapVersion::V11) {
        return Envelope(version, std::string("<soap:Fault><faultcode>") +
                                     (clientsFault ? "soap:Client" : "soap:Server") +
                                     "</faultcode><faultstring>" + MarkupEscape(message) +
                                     "</faultstring><detail /></soap:Fault>");
    }
    return Envelope(version, std::string("<soap12:Fault><soap12:Code><soap12:Value>") +
                                 (clientsFault ? "soap12:Sender" : "soap12:Receiver") +
                                 "</soap12:Value></soap12:Code><soap12:Reason><soap12:Text "
                                 "xml:lang=\"en\">" +
                                 MarkupEscape(message) +
                                 "</soap12:Text></soap12:Reason><soap12:Detail /></soap12:Fault>");
}

const char* ContentTypeFor(SoapVersion version) {
    return version == SoapVersion::V11 ? "text/xml; charset=utf-8"
                                       : "application/soap+xml; charset=utf-8";
}

int32_t ParseInt(const std::string& text, const char* parameter) {
    auto begin = text.find_first_not_of(" \t\r\n");
    auto end = text.find_last_not_of(" \t\r\n");
    std::string trimmed = begin == std::string::npos ? "" : text.substr(begin, end - begin + 1);
    errno = 0;
    char* stop = nullptr;
    long long v = trimmed.empty() ? 0 : std::strtoll(trimmed.c_str(), &stop, 10);
    if (trimmed.empty() || *stop != '\0' || errno == ERANGE || v < INT32_MIN || v > INT32_MAX) {
        throw SoapFault(true, std::string("Server was unable to read request. ---> Input string "
                                          "was not in a correct format (") +
                                  parameter + ").");
    }
    return static_cast<int32_t>(v);
}

}  // namespace sarndev
