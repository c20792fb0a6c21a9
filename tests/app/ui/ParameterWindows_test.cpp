// The parameter windows and the copy commands in the running program: the commands that open the
// group windows and the custom table, refused while an excluding window is open, the windows'
// drive buttons following the link, their requests carried out by the view against the simulated
// drive (one at a time, under Busy), and copying the whole parameter set between the drive and a
// file.

#include "support/AppHarness.h"

#include "drive/ParameterCatalogue.h"
#include "frame/TransferProgressDialog.h"
#include "link/DriveOperations.h"
#include "params/NvpFile.h"
#include "params/ui/DefParaDialog.h"
#include "params/ui/ParaEditDialog.h"
#include "params/ui/ParaGroupDialog.h"
#include "support/ParameterWindowSupport.h"
#include "support/SimTestSupport.h"
#include "support/ViewParameterWindows.h"

#include <QFile>
#include <QTimer>

namespace {

using simtest::Cmd;

constexpr int kGroupCommands[] = {Command::ControlParameters, Command::TorqueParameters,
                                  Command::SpeedParameters, Command::PositionParameters};

// Puts a raw word into the drive's stored and live copy of a parameter, as if set at its panel.
void SetDriveParameter(SimulatedDrive& drive, char letter, int number, uint16_t raw) {
    const int index = ParameterIndexOf({letter, number});
    drive.State().SetStoredWord(index, raw);
    drive.State().SetWord(5, index, raw);
}

// The mailbox exchange that selects a parameter word, the first of the three that read it.
QString SelectLine(char letter, int number) {
    const QString body = QStringLiteral("W573%1")
                             .arg(ParameterIndexOf({letter, number}), 4, 16, QLatin1Char('0'))
                             .toUpper();
    return QString::fromLatin1(Cmd(body.toStdString()));
}

// The mailbox exchanges that read the parameters `first`..`last` of a group, in order.
QStringList MailboxReads(char letter, int first, int last) {
    QStringList requests;
    for (int number = first; number <= last; ++number) {
        requests << SelectLine(letter, number) << QString::fromLatin1(Cmd("W5700002"))
                 << QString::fromLatin1(Cmd("R574"));
    }
    return requests;
}

// What the drive heard from the first request of `expected` on, as many requests as it holds.
QStringList From(const QStringList& log, const QStringList& expected) {
    const qsizetype first = log.indexOf(expected.first());
    return first < 0 ? QStringList() : log.mid(first, expected.size());
}

struct ParameterWindows : ::testing::Test {
    AppHarness h;
};
using CopyCommands = ParameterWindows;

TEST_F(ParameterWindows, GroupCommandOpensOneWindowWhoseDriveButtonsFollowTheLink) {
    ASSERT_TRUE(h.Start(AppHarness::Connected()));
    ASSERT_TRUE(h.Frame().Trigger(Command::TorqueParameters));
    CParaGroupDialog* window = GroupWindow(h.View(), ParamGroup::Torque);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(GroupWindow(h.View(), ParamGroup::Control), nullptr);
    EXPECT_TRUE(h.View().ToolWindowOpen(Command::TorqueParameters));
    for (const char* name : {"writeButton", "readAllButton", "writeAllButton"})
        EXPECT_TRUE(Button(*window, name)->isEnabled()) << name;

    // Opening it again brings the same window, showing the document's values of this moment.
    h.app->Document().values.torque[2] = 123;
    ASSERT_TRUE(h.Frame().Trigger(Command::TorqueParameters));
    EXPECT_EQ(GroupWindow(h.View(), ParamGroup::Torque), window);
    EXPECT_EQ(Cell(*window, 3, 2), QStringLiteral("123"));

    // "断开": the drive buttons go off at once.
    ASSERT_TRUE(h.Frame().Trigger(Command::Disconnect));
    for (const char* name : {"writeButton", "readAllButton", "writeAllButton"})
        EXPECT_FALSE(Button(*window, name)->isEnabled()) << name;

    // "连线": back on with the timer's connect.
    ASSERT_TRUE(h.Frame().Trigger(Command::Connect));
    ASSERT_TRUE(h.TickUntil([this] { return h.Session().LinkUp(); }, AppHarness::kTicksToConnect));
    EXPECT_TRUE(Button(*window, "readAllButton")->isEnabled());

    // The port dialog's "断开(&D)" tells the open windows as well.
    h.Session().DialogConnect([](const PortChoice& current, bool) { return current; });
    ASSERT_FALSE(h.Session().LinkUp());
    EXPECT_FALSE(Button(*window, "readAllButton")->isEnabled());

    // Closed, it is gone for the view; the command makes a new one.
    window->close();
    Settle();
    EXPECT_EQ(GroupWindow(h.View(), ParamGroup::Torque), nullptr);
    EXPECT_FALSE(h.View().ToolWindowOpen(Command::TorqueParameters));
    ASSERT_TRUE(h.Frame().Trigger(Command::TorqueParameters));
    ASSERT_NE(GroupWindow(h.View(), ParamGroup::Torque), nullptr);
    EXPECT_FALSE(Button(*GroupWindow(h.View(), ParamGroup::Torque), "readAllButton")->isEnabled());
}

// Which window keeps which out is checked beside the command table; here the view refusing.
TEST_F(ParameterWindows, RefusedCommandsOpenNothing) {
    ASSERT_TRUE(h.Start());
    CNolvaServoView& view = h.View();

    // The custom table keeps the group windows and the file commands out.
    ASSERT_TRUE(h.Frame().Trigger(Command::CustomParameters));
    ASSERT_NE(CustomTableWindow(view), nullptr);
    EXPECT_TRUE(CustomTableWindow(view)->isVisible());
    EXPECT_FALSE(h.Enabled(Command::FileNew));
    for (int command : kGroupCommands)
        EXPECT_TRUE(h.Frame().Trigger(command)) << command; // enabled, but refused
    for (ParamGroup group : {ParamGroup::Control, ParamGroup::Position})
        EXPECT_EQ(GroupWindow(view, group), nullptr);
    CustomTableWindow(view)->close();
    Settle();
    EXPECT_EQ(CustomTableWindow(view), nullptr);
    EXPECT_FALSE(view.ToolWindowOpen(Command::CustomParameters));
    EXPECT_TRUE(h.Enabled(Command::FileNew));

    // A group window keeps the custom table out.
    ASSERT_TRUE(h.Frame().Trigger(Command::SpeedParameters));
    ASSERT_NE(GroupWindow(view, ParamGroup::Speed), nullptr);
    EXPECT_TRUE(h.Frame().Trigger(Command::CustomParameters));
    EXPECT_EQ(CustomTableWindow(view), nullptr);
}

// The exchanges in one piece are checked with two requests below.
TEST_F(ParameterWindows, GroupReadIsPostedAndFillsTheWindow) {
    ASSERT_TRUE(h.Start(AppHarness::Connected()));
    SetDriveParameter(h.drive, 'T', 3, static_cast<uint16_t>(DisplayToRaw({'T', 3}, 150, 3000)));
    SetDriveParameter(h.drive, 'T', 7, 1000);
    ASSERT_TRUE(h.Frame().Trigger(Command::TorqueParameters));
    CParaGroupDialog* window = GroupWindow(h.View(), ParamGroup::Torque);
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(h.Frame().isWindowModified());

    h.drive.ClearRequestLog();
    Button(*window, "readAllButton")->click();
    EXPECT_TRUE(h.drive.RequestLog().isEmpty()); // posted: nothing before the event loop runs
    ASSERT_TRUE(AppHarness::WaitFor(
        [&] { return h.drive.RequestLog().contains(SelectLine('T', 7)); }, 3000));
    Settle();

    EXPECT_EQ(Cell(*window, 3, 2), QStringLiteral("150"));
    EXPECT_EQ(Cell(*window, 7, 2), QString::number(RawToDisplay({'T', 7}, 1000, 3000)));
    EXPECT_EQ(h.app->Document().values.torque[2], 150);
    EXPECT_TRUE(h.Frame().isWindowModified());
    EXPECT_FALSE(h.Session().Busy());
    EXPECT_TRUE(h.messenger.messages.isEmpty());
}

// The editor stays on the screen while a group window reads the drive: when the read ends the
// editor shows the values read, without being brought to the front.
TEST_F(ParameterWindows, ShownEditorShowsTheValuesAGroupWindowRead) {
    ASSERT_TRUE(h.Start(AppHarness::Connected()));
    h.messenger.answers = {MessageAnswer::No}; // no whole-drive read when the editor comes up
    ASSERT_TRUE(h.Frame().Trigger(Command::ParameterEditor));
    CParaEditDialog* editor = ParameterEditorWindow(h.View());
    ASSERT_NE(editor, nullptr);
    const int tn107 = editor->RowOf({'T', 7});
    ASSERT_GE(tn107, 0);

    ASSERT_TRUE(h.Frame().Trigger(Command::TorqueParameters));
    CParaGroupDialog* group = GroupWindow(h.View(), ParamGroup::Torque);
    ASSERT_NE(group, nullptr);
    const uint16_t raw =
        h.app->Document().values.torque[6] == RawToDisplay({'T', 7}, 1000, 3000) ? 1200 : 1000;
    SetDriveParameter(h.drive, 'T', 7, raw);
    h.drive.ClearRequestLog();
    Button(*group, "readAllButton")->click();
    ASSERT_TRUE(AppHarness::WaitFor(
        [&] { return h.drive.RequestLog().contains(SelectLine('T', 7)); }, 3000));
    Settle();

    ASSERT_TRUE(editor->isVisible());
    const QString read = QString::number(RawToDisplay({'T', 7}, raw, 3000));
    ASSERT_EQ(Cell(*group, 7, 2), read);
    EXPECT_EQ(editor->List()->item(tn107, 2)->text(), read);
}

TEST_F(ParameterWindows, CustomTableReadsItsRowsAndMarksAFailedSingleWrite) {
    ASSERT_TRUE(h.Start(AppHarness::Connected()));
    h.app->Settings().customTable.Entries = {{2, 2}, {1, 9}}; // Tn103, Cn010
    SetDriveParameter(h.drive, 'C', 10, 123);
    SetDriveParameter(h.drive, 'T', 3, static_cast<uint16_t>(DisplayToRaw({'T', 3}, 80, 3000)));
    ASSERT_TRUE(h.Frame().Trigger(Command::CustomParameters));
    CDefParaDialog* window = CustomTableWindow(h.View());
    ASSERT_NE(window, nullptr);

    Button(*window, "readAllButton")->click();
    ASSERT_TRUE(AppHarness::WaitFor(
        [&] {
            return Cell(*window, 2, 2) == QString::number(RawToDisplay({'C', 10}, 123, 3000));
        },
        3000));
    EXPECT_EQ(Cell(*window, 1, 2), QStringLiteral("80"));

    h.drive.SetHungUp(true);
    Grid(*window)->setCurrentCell(1, 0); // Cn010
    Button(*window, "writeButton")->click();
    ASSERT_TRUE(AppHarness::WaitFor([&] { return window->Table().IsMarkedFailed(2); }, 5000));
    EXPECT_FALSE(window->Table().IsMarkedFailed(1));
    h.drive.SetHungUp(false);
}

TEST_F(ParameterWindows, ARequestArrivingDuringATransferWaitsForItUnderTheSameBusy) {
    ASSERT_TRUE(h.Start(AppHarness::Connected()));
    CNolvaServoView& view = h.View();
    const QStringList controlReads = MailboxReads('C', 1, 16);
    const QStringList torqueReads = MailboxReads('T', 1, 7);

    // Busy as seen by the program's timers whenever the event loop runs between the first
    // exchange of the two reads and the last.
    int samples = 0;
    int clearWhileRunning = 0;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        const QStringList& log = h.drive.RequestLog();
        const bool started = log.contains(SelectLine('C', 1)) || log.contains(SelectLine('T', 1));
        const bool ended = log.contains(SelectLine('C', 16)) && log.contains(SelectLine('T', 7));
        if (!started || ended)
            return;
        ++samples;
        if (!h.Session().Busy())
            ++clearWhileRunning;
    });
    h.drive.ClearRequestLog();
    sampler.start(0);

    view.PostParameterRequest(ParameterRequest::ReadAll(ParamGroup::Control));
    view.PostParameterRequest(ParameterRequest::ReadAll(ParamGroup::Torque));
    ASSERT_TRUE(AppHarness::WaitFor(
        [&] { return h.drive.RequestLog().contains(SelectLine('T', 7)); }, 5000));
    Settle();
    sampler.stop();

    // The torque read started after the control read had ended, each in one piece.
    const QStringList log = h.drive.RequestLog();
    EXPECT_EQ(From(log, controlReads), controlReads);
    EXPECT_EQ(From(log, torqueReads), torqueReads);
    EXPECT_LT(log.indexOf(SelectLine('C', 16)), log.indexOf(SelectLine('T', 1)));
    EXPECT_GT(samples, 0);
    EXPECT_EQ(clearWhileRunning, 0);
    EXPECT_FALSE(h.Session().Busy());
    EXPECT_FALSE(h.Session().Operations().Running());
}

TEST_F(CopyCommands, CopyToComputerWritesTheDrivesSetToTheChosenFile) {
    ASSERT_TRUE(h.Start(AppHarness::Connected()));
    SetDriveParameter(h.drive, 'C', 7, static_cast<uint16_t>(DisplayToRaw({'C', 7}, 1200, 3000)));
    const QString title = h.Frame().windowTitle();

    h.chooser.answers = {h.dir.filePath(QStringLiteral("axis"))};
    ASSERT_TRUE(h.Frame().Trigger(Command::CopyToComputer));
    const QString written = h.dir.filePath(QStringLiteral("axis.nvp"));
    CNolvaServoDoc copy(h.app->Profile());
    QString error;
    ASSERT_TRUE(OpenDocumentFile(written, copy, &error)) << error.toStdString();
    EXPECT_EQ(copy.values.control[6], 1200);
    EXPECT_FALSE(h.Session().Busy());
    // The window's document is as it was.
    EXPECT_FALSE(h.Frame().isWindowModified());
    EXPECT_EQ(h.Frame().windowTitle(), title);

    // The name was completed to an existing file: asked about, and "No" leaves it.
    const QByteArray kept = AppHarness::ReadAll(written);
    SetDriveParameter(h.drive, 'C', 7, 0); // a rewritten file would differ
    h.chooser.answers = {h.dir.filePath(QStringLiteral("axis"))};
    h.messenger.answers = {MessageAnswer::No};
    ASSERT_TRUE(h.Frame().Trigger(Command::CopyToComputer));
    ASSERT_EQ(h.messenger.messages.size(), 1);
    EXPECT_EQ(h.messenger.messages[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(AppHarness::ReadAll(written), kept);

    // Cancelled: nothing goes to the drive's mailbox.
    h.messenger.messages.clear();
    h.drive.ClearRequestLog();
    ASSERT_TRUE(h.Frame().Trigger(Command::CopyToComputer));
    EXPECT_TRUE(h.messenger.messages.isEmpty());
    for (const QString& request : h.drive.RequestLog())
        EXPECT_FALSE(request.startsWith(QLatin1String("W57"))) << request.toStdString();
}

// Disabled without the link (the command table), and the view asks for no file either.
TEST_F(CopyCommands, WithoutALinkNoFileIsAskedFor) {
    ASSERT_TRUE(h.Start());
    int asked = 0;
    const auto choose = [&asked]() -> std::optional<QString> {
        ++asked;
        return QStringLiteral("lost.nvp");
    };
    EXPECT_FALSE(h.View().OnCopyToComputer(choose));
    EXPECT_FALSE(h.View().OnCopyToDrive(choose));
    EXPECT_EQ(asked, 0);
}

TEST_F(CopyCommands, CopyToDriveWritesTheFilesSetToTheDrive) {
    ASSERT_TRUE(h.Start(AppHarness::Connected()));
    CNolvaServoDoc sample(h.app->Profile());
    sample.OnNewDocument();
    sample.values.control[6] = 1500; // Cn007
    const QString path = h.dir.filePath(QStringLiteral("press.nvp"));
    QString error;
    ASSERT_TRUE(SaveDocumentFile(path, sample, &error)) << error.toStdString();
    const ParameterSet before = h.app->Document().values;

    h.chooser.answers = {path};
    ASSERT_TRUE(h.Frame().Trigger(Command::CopyToDrive));
    EXPECT_EQ(h.drive.State().StoredRaw('C', 7), DisplayToRaw({'C', 7}, 1500, 3000));
    EXPECT_EQ(h.messenger.messages.size(), 1);
    EXPECT_EQ(h.app->Document().values, before);
    EXPECT_FALSE(h.Session().Busy());

    // A file the copy does not take: its message, and the drive hears no write.
    const QString bak = h.dir.filePath(QStringLiteral("press.bak"));
    ASSERT_TRUE(QFile::copy(path, bak));
    h.messenger.messages.clear();
    h.drive.ClearRequestLog();
    h.chooser.answers = {bak};
    ASSERT_TRUE(h.Frame().Trigger(Command::CopyToDrive));
    EXPECT_EQ(h.messenger.messages.size(), 1);
    for (const QString& request : h.drive.RequestLog())
        EXPECT_FALSE(request.startsWith(QLatin1Char('W'))) << request.toStdString();
}

} // namespace
