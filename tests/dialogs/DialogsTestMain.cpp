#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Widgets need an application object; the settings file of the application object
// the tests build must not be the user's.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    QTemporaryDir config;
    if (!config.isValid())
        return 2;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
