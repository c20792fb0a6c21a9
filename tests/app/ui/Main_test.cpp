// The window tests' main(): the widgets need an application object, and the tests run without a
// display (the offscreen platform unless the caller chose one; test discovery runs this program
// at build time without the test environment).

#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The recent-file list and the configuration folder go to a folder of this run, never to the
    // user's own.
    QTemporaryDir configHome;
    qputenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit());
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Orvan"));
    QApplication::setApplicationName(QStringLiteral("OrvanServoTests"));
    // Closing a test's main window must not end anything.
    QApplication::setQuitOnLastWindowClosed(false);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
