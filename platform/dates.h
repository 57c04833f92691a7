#pragma once
#include <QDate>
#include <QString>
#include <cstdint>

namespace quintelle::platform {

// The date in the user's short date format (the locale's, not a fixed pattern).
QString shortDate(const QDate& date);

// The user's date separator, read from the locale's short format.
QString dateSeparator();

// Milliseconds since midnight, UTC: the random source's start-up seed.
std::uint32_t utcMillisecondsOfDay();

}  // namespace quintelle::platform
