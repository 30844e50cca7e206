#include <QCoreApplication>
#include <gtest/gtest.h>

// The command-line tests need no widgets: a core application, so no display is ever asked for.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
