#include "app/QtTranslations.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

// The set-up installs Qt's translations; without them every standard button would be English
// beside the program's Chinese texts.
TEST(QtTranslations, StandardButtonsAndFileDialogsSpeakChinese) {
    static int argc = 1;
    static char name[] = "orvan_core_tests";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr)
        static QCoreApplication application(argc, argv);
    ASSERT_TRUE(InstallQtTranslations(*QCoreApplication::instance()));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&No"), QStringLiteral("否(&N)"));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("取消"));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("查找范围："));
}
