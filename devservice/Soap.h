#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace sarndev {

// The contract as the service publishes it.
enum class XsdType { Int, String };

struct Parameter {
    const char* name;
    XsdType type;
};

struct Operation {
    const char* name;
    std::vector<Parameter> parameters;
    std::optional<XsdType> result;  // nothing: a void operation
};

const std::vector<Operation>& Contract();
const Operation* FindOperation(std::string_view name);

// "http://" + host + "/ZODevEduriza3.0.1"
std::string NamespaceFor(const std::string& host);
std::string EndpointFor(const std::string& host);

// The description, as an .asmx service serves it for the host the caller used.
std::string DescriptionXml(const std::string& host);

enum class SoapVersion { V11, V12 };

// A request that cannot be served; answered as a SOAP fault.
class SoapFault : public std::runtime_error {
  public:
    SoapFault(bool clientsFault, const std::string& message)
        : std::runtime_error(message), clientsFault_(clientsFault) {}
    bool ClientsFault() const { return clientsFault_; }

  private:
    bool clientsFault_;
};

struct SoapRequest {
    SoapVersion version = SoapVersion::V11;
    const Operation* operation = nullptr;
    std::vector<std::string> arguments;  // in declaration order, UTF-8
};

// Reads a request for the given target namespace. `soapAction` is the header's value (quotes
// included) or nothing when the header was absent. Raises SoapFault for anything the service
// cannot serve; `version` is set as soon as the envelope shows it, so a fault can answer in the
// caller's SOAP version.
SoapRequest ParseRequest(std::string_view body, const std::string& serviceNamespace,
                         const std::optional<std::string>& soapAction, SoapVersion& version);

// The reply, split around the result text so a long result can be streamed between the two.
struct ReplyFrame {
    std::string head;
    std::string tail;
};
ReplyFrame ResponseFrame(SoapVersion version, const std::string& serviceNamespace,
                         const Operation& operation);
std::string ResponseXml(SoapVersion version, const std::string& serviceNamespace,
                        const Operation& operation, const std::string& result);
std::string FaultXml(SoapVersion version, bool clientsFault, const std::string& message);
const char* ContentTypeFor(SoapVersion version);

int32_t ParseInt(const std::string& text, const char* parameter);

}  // namespace sarndev
