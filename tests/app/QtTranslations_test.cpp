#include "app/QtTranslations.h"

#include "support/CoreApplication.h"

#include <gtest/gtest.h>

// The set-up installs Qt's translations; without them every standard button would be English
// beside the program's Chinese texts.
TEST(QtTranslations, StandardButtonsAndFileDialogsSpeakChinese) {
    ASSERT_TRUE(InstallQtTranslations(EnsureApplication()));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&No"), QStringLiteral("否(&N)"));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("取消"));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("查找范围："));
}
