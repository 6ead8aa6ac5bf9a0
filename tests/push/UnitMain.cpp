#include <QCoreApplication>

#include <gtest/gtest.h>

// The UDP hand-over runs through the Qt event queue of the test's thread.
int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
