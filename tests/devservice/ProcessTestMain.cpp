#include <QCoreApplication>

#include <gtest/gtest.h>

// QProcess and QUdpSocket want an application object, though the tests drive them synchronously.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
