// The user's date format, the posting date and the start-up seed.
#include <gtest/gtest.h>

#include <QDateTime>

#include "platform/dates.h"

TEST(Dates, TheSeparatorIsOneCharacterThatIsNoLetter) {
    const QString separator = quintelle::platform::dateSeparator();
    ASSERT_EQ(separator.size(), 1);
    EXPECT_FALSE(separator[0].isLetter());
    EXPECT_FALSE(separator[0].isDigit());
    EXPECT_FALSE(separator[0].isSpace());
}

TEST(Dates, TheShortDateHoldsTheYearDigits) {
    const QString text = quintelle::platform::shortDate(QDate(2031, 11, 27));
    EXPECT_TRUE(text.contains(QStringLiteral("31"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("27"))) << text.toStdString();
}

TEST(Dates, APostingDateIsMonthDayAndTwoDigitYearWithTheSeparator) {
    struct Row {
        QDate date;
        const char* separator;
        const char* expected;
    } rows[] = {{QDate(2026, 3, 5), "/", "3/5/26"},
                {QDate(2009, 1, 1), "/", "1/1/09"},
                {QDate(1999, 12, 31), ".", "12.31.99"},
                {QDate(2000, 10, 10), "-", "10-10-00"}};
    for (const Row& row : rows)
        EXPECT_EQ(quintelle::platform::postingDate(row.date, QString::fromLatin1(row.separator)),
                  QString::fromLatin1(row.expected));
}

TEST(Dates, TheSeedIsTodaysUtcMilliseconds) {
    constexpr std::int64_t kDay = 24 * 60 * 60 * 1000;
    const std::int64_t now = QDateTime::currentDateTimeUtc().time().msecsSinceStartOfDay();
    const std::int64_t seed = quintelle::platform::utcMillisecondsOfDay();
    EXPECT_GE(seed, 0);
    EXPECT_LT(seed, kDay);
    // Taken a moment apart, perhaps across midnight.
    const std::int64_t apart = ((seed - now) % kDay + kDay) % kDay;
    EXPECT_LT(apart, 2000);
}
