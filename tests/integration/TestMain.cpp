#include <QCoreApplication>

#include <gtest/gtest.h>

// The bus connections of the DDE client need an application object.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
