#include <gtest/gtest.h>

#include "ui/main/application.h"

int main(int argc, char** argv) {
    // Test discovery runs the binary outside CTest's environment, so default
    // to the offscreen platform there too.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The program's own application object: its font substitutes and its
    // standard error box are part of what is tested.
    quintelle::ui::QuintelleApp app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
