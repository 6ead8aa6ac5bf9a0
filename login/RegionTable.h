#pragma once

#include <QString>
#include <QStringList>

#include <span>

namespace sarn {

// One province of the registration panel's lists and its cities, stored as one text with a
// comma between names.
struct RegionRow {
    const char16_t* province;
    const char16_t* cities;
};

// The 35 provinces in the order the province list shows them.
std::span<const RegionRow> RegionTable();

// The province names, in table order.
QStringList ProvinceNames();

}  // namespace sarn
