// The program's own help page describes the program as it is: every window it opens, the link
// as it behaves, and markup that is markup, not text.

#include "app/CommandTable.h"
#include "app/HelpPage.h"
#include "base/CommandIds.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

TEST(HelpPage, NamesEveryWindowAndPromisesNothingTheProgramDoesNot) {
    const QString html = ProgramHelpHtml();
    // An escaped tag is markup the reader sees as text.
    EXPECT_FALSE(html.contains(QLatin1String("&lt;"))) << "markup shown as text";
    QString shown = html;
    shown.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
    for (const char* wrong : {"尚未提供", "自动重新连线"})
        EXPECT_FALSE(shown.contains(QString::fromUtf8(wrong))) << wrong;

    using namespace Command;
    for (int command : {ParameterEditor, OnlineEditing, CustomParameters, StatusMonitor,
                        Diagnostics, AlarmHistory, Trace, Jog, AutoTuning, AutoOffset,
                        ContactPlanning, PositionPlanning, MachineAnalysis, SimulatedDrive,
                        PortSettings, Connect, Disconnect, CopyToDrive, CopyToComputer}) {
        QString name = CommandText(*FindCommand(command));
        name.remove(QRegularExpression(QStringLiteral("\\(&?.\\)|\\.\\.\\.$")));
        EXPECT_TRUE(shown.contains(name)) << name.toStdString();
    }
    EXPECT_FALSE(shown.contains(QRegularExpression(QStringLiteral("\\([A-Z]\\)"))))
        << "an access key shown as text";
    EXPECT_TRUE(shown.contains(QString::fromUtf8("“重新启动”")));
    EXPECT_TRUE(shown.contains(QStringLiteral("orvan-servo --simulate")));
}

} // namespace
