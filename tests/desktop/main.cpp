#include <gtest/gtest.h>

#include <QCoreApplication>

int main(int argc, char** argv) {
    // The harness only starts processes and reads files; the game under test
    // brings its own windows.
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
