#pragma once

namespace sarn {

struct AppContext;

// Creates the login window, runs it modally and frees it. Returns its modal result: 1 exactly
// when the service accepted a login, 2 when the user gave up.
int RunLoginWindow(AppContext& context);

}  // namespace sarn
