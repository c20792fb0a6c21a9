#include "app/DocumentTemplate.h"

#include <gtest/gtest.h>

namespace {

TEST(DocumentTemplate, ShortTemplateLeavesMissingFieldsEmpty) {
    const DocumentTemplate t = ParseDocumentTemplate(QStringLiteral("Title\n\nNoName"));
    EXPECT_EQ(t.windowTitle, QStringLiteral("Title"));
    EXPECT_EQ(t.untitledName, QStringLiteral("NoName"));
    EXPECT_TRUE(t.typeName.isEmpty());
    EXPECT_TRUE(t.extension.isEmpty());
}

TEST(DocumentTemplate, FrameTitlePutsTheDocumentNameFirst) {
    const DocumentTemplate t = ParseDocumentTemplate(QStringLiteral("Servo v1\n\nUntitled"));
    EXPECT_EQ(FrameTitle(QString(), t), QStringLiteral("Untitled - Servo v1"));
    EXPECT_EQ(FrameTitle(QStringLiteral("/home/u/press line/axis 2.nvp"), t),
              QStringLiteral("axis 2.nvp - Servo v1"));
    EXPECT_EQ(FrameTitle(QString(), t, QStringLiteral("[*]")),
              QStringLiteral("Untitled[*] - Servo v1"));
}

TEST(DocumentTemplate, TableFiltersBecomeQtFilters) {
    struct Case {
        QString table;
        QString qt;
    };
    const Case cases[] = {
        {QStringLiteral("Doc (*.nvp)|*.nvp|All (*.*)|*.*||"),
         QStringLiteral("Doc (*.nvp);;All (*)")},
        {QStringLiteral("Doc (*.nvp)|*.nvp||"), QStringLiteral("Doc (*.nvp)")},
        // Several patterns in one entry, a description without its own pattern list.
        {QStringLiteral("Data|*.trd;*.TRD|Text files|*.txt||"),
         QStringLiteral("Data (*.trd *.TRD);;Text files (*.txt)")},
        {QString(), QString()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(QtFileFilter(c.table), c.qt) << c.table.toStdString();
}

TEST(DocumentTemplate, SaveAsNamesAlwaysEndInNvp) {
    struct Case {
        const char* chosen;
        const char* written;
    };
    const Case cases[] = {
        {"/tmp/axis", "/tmp/axis.nvp"},
        {"/tmp/axis.nvp", "/tmp/axis.nvp"},
        {"/tmp/AXIS.NVP", "/tmp/AXIS.NVP"},
        {"/tmp/axis.Nvp", "/tmp/axis.Nvp"},
        {"/tmp/axis.bak", "/tmp/axis.bak.nvp"}, // would be refused by Open otherwise
        {"/tmp/axis.nvpx", "/tmp/axis.nvpx.nvp"},
        {"/tmp/v1.2/axis", "/tmp/v1.2/axis.nvp"},
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WithParameterFileExtension(QString::fromUtf8(c.chosen)),
                  QString::fromUtf8(c.written))
            << c.chosen;
    }
}

} // namespace
