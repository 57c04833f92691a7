// How an error message is finished before the error box shows it.
#include <gtest/gtest.h>

#include "ui/main/application.h"

using quintelle::ui::QuintelleApp;

TEST(ErrorText, APeriodFollowsALastCharacterThatSortsAfterThePeriod) {
    const std::pair<const char*, const char*> rows[] = {
        {"Unable to write to x", "Unable to write to x."},
        {"Posting Failed!", "Posting Failed!"},
        {"ends.", "ends."},
        {"", ""},
        {"digit 5", "digit 5."},
        {"slash/", "slash/."},
        {"bracket)", "bracket)"},
        {"comma,", "comma,"},
    };
    for (const auto& [message, shown] : rows)
        EXPECT_EQ(QuintelleApp::errorText(QString::fromUtf8(message)), QString::fromUtf8(shown))
            << message;
}
