#include "platform/session/ShortDate.h"

#include <QDate>
#include <QLocale>

namespace sarn {

QString TodayShortDateText() {
    return QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
}

}  // namespace sarn
