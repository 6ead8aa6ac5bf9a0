#include "devservice/Portal.h"

#include <gtest/gtest.h>

namespace sarndev {
namespace {

// The client appends the user name exactly as typed; a browser percent-encodes blanks and
// non-ASCII on the way, but leaves "&" and "=" alone.
TEST(ServicePortalQuery, FindsNameAndDigestWhateverTheNameHolds) {
    struct Case {
        const char* query;
        const char* name;
        const char* pwd;
        bool complete;
    };
    const Case cases[] = {
        {"UserName=abc&Pwd=0123456789abcdef", "abc", "0123456789abcdef", true},
        {"?UserName=abc&Pwd=0123456789abcdef", "abc", "0123456789abcdef", true},
        {"UserName=a b&c=d&Pwd=0123456789abcdef", "a b&c=d", "0123456789abcdef", true},
        {"UserName=a%20b%E5%BC%A0&Pwd=0123456789abcdef", "a b\xE5\xBC\xA0", "0123456789abcdef",
         true},
        {"UserName=x&Pwd=y&Pwd=0123456789abcdef", "x&Pwd=y", "0123456789abcdef", true},
        {"UserName=&Pwd=", "", "", true},
        {"UserName=abc", "abc", "", false},
        {"Pwd=1&UserName=abc", "", "", false},
        {"", "", "", false},
    };
    for (const Case& c : cases) {
        PortalQuery q = ParsePortalQuery(c.query);
        EXPECT_EQ(q.userName, c.name) << c.query;
        EXPECT_EQ(q.pwd, c.pwd) << c.query;
        EXPECT_EQ(q.complete, c.complete) << c.query;
    }
}

}  // namespace
}  // namespace sarndev
