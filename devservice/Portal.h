#pragma once

#include <string>
#include <string_view>

namespace sarndev {

class Store;

// The query the client appends to the portal address: "UserName=" + name + "&Pwd=" + digest,
// with nothing escaped. The name may itself hold "&", "=" or blanks, so the digest is whatever
// follows the last "&Pwd=", and the name everything before it. A browser may have
// percent-encoded blanks and non-ASCII bytes on the way; both values are decoded (UTF-8).
struct PortalQuery {
    std::string userName;
    std::string pwd;
    bool complete = false;  // both keys were there
};
PortalQuery ParsePortalQuery(std::string_view rawQuery);

struct Page {
    int status = 200;
    std::string html;
};

// The portal page: greets the user when the digest matches the stored one, refuses otherwise.
Page PortalPage(Store& store, std::string_view rawQuery, bool classic);
Page ForgetPasswordPage();
Page AboutPage();

}  // namespace sarndev
