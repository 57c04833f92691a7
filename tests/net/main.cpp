#include <gtest/gtest.h>

#include <QCoreApplication>
#include <cstdlib>

#include "platform/processend.h"

int main(int argc, char** argv) {
    // The tests talk to their own servers on the loopback address only; a
    // proxy from the environment must not carry their requests elsewhere.
    for (const char* name : {"http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY"}) unsetenv(name);
    int code = 0;
    {
        QCoreApplication app(argc, argv);
        ::testing::InitGoogleTest(&argc, argv);
        code = RUN_ALL_TESTS();
    }
    // Ended as the program ends: a test may have left a fetch under way.
    return quintelle::platform::endProcess(code);
}
