#include <QCoreApplication>
#include <gtest/gtest.h>

// The tests of the lower layer run inside a QCoreApplication: no window system is needed.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
