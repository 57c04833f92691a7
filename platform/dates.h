#pragma once
#include <QDate>
#include <QString>
#include <cstdint>

namespace quintelle::platform {

// The date in the user's short date format (the locale's, not a fixed pattern).
QString shortDate(const QDate& date);

// The user's date separator, read from the locale's short format.
QString dateSeparator();

// A score's date as the vendor's service takes it, "m/d/yy": month and day
// without leading zeros, the year in two digits, joined by `separator`.
QString postingDate(const QDate& date, const QString& separator = dateSeparator());

// Milliseconds since midnight, UTC: the random source's start-up seed.
std::uint32_t utcMillisecondsOfDay();

}  // namespace quintelle::platform
