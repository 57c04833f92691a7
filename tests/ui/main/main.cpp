#include <gtest/gtest.h>

#include "platform/processend.h"
#include "ui/main/application.h"

int main(int argc, char** argv) {
    // Test discovery runs the binary outside CTest's environment, so default
    // to the offscreen platform there too.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int code = 0;
    {
        quintelle::ui::QuintelleApp app(argc, argv);
        quintelle::ui::installFontSubstitutes();
        ::testing::InitGoogleTest(&argc, argv);
        code = RUN_ALL_TESTS();
    }
    // Ended as the program ends: the last test's windows may have left a
    // fetch under way.
    return quintelle::platform::endProcess(code);
}
