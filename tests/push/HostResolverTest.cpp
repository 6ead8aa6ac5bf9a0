#include "platform/udp/HostResolver.h"

#include <gtest/gtest.h>

namespace sarn {
namespace {

struct HostCase {
    const char* host;
    std::uint32_t address;
};

class Resolve : public ::testing::TestWithParam<HostCase> {};

TEST_P(Resolve, GivesTheAddressWithoutALookupForLocalhostAndDottedQuads) {
    EXPECT_EQ(ResolveIPv4(QString::fromLatin1(GetParam().host)), GetParam().address);
}

INSTANTIATE_TEST_SUITE_P(Hosts, Resolve,
                         ::testing::Values(HostCase{"LOCALHOST", 0x7f000001},
                                           HostCase{"LocalHost", 0x7f000001},
                                           HostCase{"10.1.2.3", 0x0a010203},
                                           HostCase{"255.255.255.255", 0xffffffff},
                                           HostCase{"0.0.0.0", 0}));

TEST(Resolve, RefusesNamesThatCannotBeFound) {
    // Neither is a dotted quad; the system lookup cannot find them.
    for (const char* host : {"no-such-host.invalid", "256.1.1.1", ""}) {
        EXPECT_THROW(ResolveIPv4(QString::fromLatin1(host)), HostLookupError) << host;
    }
}

}  // namespace
}  // namespace sarn
