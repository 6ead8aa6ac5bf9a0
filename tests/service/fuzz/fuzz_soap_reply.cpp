// Feeds arbitrary bytes to the SOAP reply reader: any outcome but a clean result or one of our
// own errors is a bug.
#include "platform/Error.h"
#include "service/SoapReply.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (const bool withResult : {true, false}) {
        try {
            const sarn::SoapResultValue value = sarn::ReadSoapReply(bytes, withResult);
            if (value.present) {
                try {
                    sarn::SoapIntegerValue(value.utf8);
                } catch (const sarn::SarnError&) {
                }
            }
        } catch (const sarn::SarnError&) {
        }
    }
    return 0;
}
