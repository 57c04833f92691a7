// The desktop work area the main window is trimmed against at close.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>

#include "platform/workarea.h"

TEST(WorkArea, LiesWithinThePrimaryScreen) {
    QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    const QRect work = quintelle::platform::workArea();
    EXPECT_FALSE(work.isEmpty());
    EXPECT_TRUE(screen->geometry().contains(work));
    EXPECT_EQ(quintelle::platform::workArea(screen), work);
}
