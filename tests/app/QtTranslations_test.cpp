#include "app/QtTranslations.h"

#include "support/CoreApplication.h"

#include <QTranslator>

#include <gtest/gtest.h>

// The set-up installs Qt's translations; without them every standard button would be English
// beside the program's Chinese texts.
TEST(QtTranslations, StandardButtonsAndFileDialogsSpeakChinese) {
    ASSERT_TRUE(InstallQtTranslations(EnsureApplication()));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&No"), QStringLiteral("否(&N)"));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("取消"));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("查找范围："));
    // The other tests of this program expect Qt's own English texts (the options' help).
    for (QTranslator* translator : EnsureApplication().findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
}
