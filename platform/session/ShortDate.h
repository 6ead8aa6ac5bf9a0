#pragma once

#include <QString>

namespace sarn {

// Today's date as text in the user's short date format.
QString TodayShortDateText();

}  // namespace sarn
