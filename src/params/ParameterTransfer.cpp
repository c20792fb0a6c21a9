#include "params/ParameterTransfer.h"

#include "base/Messenger.h"
#include "base/StringIds.h"
#include "base/StringTable.h"
#include "drive/CatalogueTable.h"
#include "drive/ModelTable.h"
#include "drive/ParameterCatalogue.h"
#include "link/DriveAccess.h"
#include "params/NolvaServoDoc.h"
#include "params/NvpFile.h"

namespace {

constexpr int kStepsPerParameter = 3;

bool HasWriteRule(ParamCode code, WriteRule rule) {
    return WriteRuleOf(code) == rule;
}

// Group of a custom list row: 1..6 for C, T, S, P, q, H.
char LetterOfCustomGroup(int group) {
    return group >= 1 && group <= kParamGroupCount ? GroupInfo(group - 1).letter : 0;
}

QString GroupText(int readId, int writeId, bool read, const char* quickOrContact, char letter,
                  int number) {
    if (readId > 0) {
        return QString::asprintf(qPrintable(StringText(read ? readId : writeId)), number);
    }
    // The quick and contact groups of the custom list, in the style of the others.
    const QString code = ParamCode{letter, number}.Text();
    return QString::fromUtf8(read ? "读取" : "写入") + QString::fromUtf8(quickOrContact) +
           QString::fromUtf8("：") + code;
}

QString GroupProgressText(char letter, int number, bool read) {
    switch (letter) {
    case 'C':
        return GroupText(StringId::kReadControlParameter, StringId::kWriteControlParameter, read,
                         nullptr, letter, number);
    case 'T':
        return GroupText(StringId::kReadControlParameter + 1, StringId::kWriteControlParameter + 1,
                         read, nullptr, letter, number);
    case 'S':
        return GroupText(StringId::kReadControlParameter + 2, StringId::kWriteControlParameter + 2,
                         read, nullptr, letter, number);
    case 'P':
        return GroupText(StringId::kReadControlParameter + 3, StringId::kWriteControlParameter + 3,
                         read, nullptr, letter, number);
    case 'q': return GroupText(0, 0, read, "快捷参数", letter, number);
    case 'H': return GroupText(0, 0, read, "多功能接点参数", letter, number);
    default: return {};
    }
}

// The parameters of the custom list's rows, in order; rows that name no parameter are passed over.
QList<ParamCode> CustomCodes(const QList<CustomEntry>& rows) {
    QList<ParamCode> codes;
    for (const CustomEntry& row : rows) {
        const ParamCode code{LetterOfCustomGroup(row.Group), row.Index + 1};
        if (FindParam(code) != nullptr) {
            codes.append(code);
        }
    }
    return codes;
}

// Headings of the range refusal: values of a file (copy to drive) or of the document.
QString FileRangeHeading() {
    return QStringLiteral("文件中的参数值超出范围，未写入驱动器：");
}

QString DocumentRangeHeading() {
    return QStringLiteral("参数值超出范围，未写入驱动器：");
}

} // namespace

QList<RangeFault> ValuesOutOfRange(const QList<ParamCode>& codes, const QList<int32_t>& values,
                                   const DriveProfile& profile) {
    ParameterSet minimums;
    ParameterSet maximums;
    FillRangeTables(minimums, maximums, profile);
    QList<RangeFault> faults;
    for (qsizetype i = 0; i < codes.size() && i < values.size(); ++i) {
        const int32_t* min = minimums.Slot(codes[i]);
        const int32_t* max = maximums.Slot(codes[i]);
        if (min != nullptr && max != nullptr && (values[i] < *min || values[i] > *max)) {
            faults.append({codes[i], values[i], *min, *max});
        }
    }
    return faults;
}

QString RangeFaultText(const RangeFault& fault) {
    const QString code = fault.code.Text();
    return QStringLiteral("%1 = %2 (范围 %3)")
        .arg(code, FormatValue(fault.code, fault.value, false),
             RangeText(fault.code, fault.min, fault.max));
}

QList<ParamCode> WholeSet() {
    QList<ParamCode> codes;
    for (const ParamSpec& p : AllParameters()) {
        if (p.letter != 'q') {
            codes.append(ParamCode{p.letter, p.number});
        }
    }
    return codes;
}

QString ReadProgressText(ParamCode code) {
    return GroupProgressText(code.letter, code.number, true);
}

QString WriteProgressText(ParamCode code) {
    return GroupProgressText(code.letter, code.number, false);
}

ParameterTransfer::ParameterTransfer(DriveAccess& access, const LinkSettings& settings,
                                     DriveProfile& profile, CNolvaServoDoc& document,
                                     Messenger& messenger)
    : access_(access), settings_(settings), profile_(profile), document_(document),
      messenger_(messenger), channel_(access, settings, profile, messenger) {}

void ParameterTransfer::SetProgress(TransferProgress* progress) {
    channel_.SetProgress(progress);
}

int ParameterTransfer::CoveredCount(ParamGroup group) {
    switch (group) {
    case ParamGroup::Control: return 16;
    case ParamGroup::Torque: return 7;
    case ParamGroup::Speed: return 16;
    case ParamGroup::Position: return 10;
    default: return 0;
    }
}

void ShowWriteSuccess(Messenger& messenger, bool restartReminder) {
    Message message;
    message.text = StringText(StringId::kWriteSuccess);
    if (restartReminder) {
        message.text += QStringLiteral("\n\n") + StringText(StringId::kRestartReminder);
    }
    message.caption = StringText(StringId::kWriteCaption);
    message.icon = restartReminder ? MessageIcon::Warning : MessageIcon::Information;
    messenger.Show(message);
}

// ---- Groups ----

bool ParameterTransfer::ReadGroup(ParamGroup group, QList<int32_t>* values) {
    const int count = CoveredCount(group);
    if (!access_.LinkUp() || count == 0) {
        return false;
    }
    QList<ParamCode> codes;
    for (int number = 1; number <= count; ++number) {
        codes.append(ParamCode{GroupInfo(group).letter, number});
    }
    QList<int32_t> read;
    if (!ReadList(codes, false, &read)) {
        return false;
    }
    const auto groupValues = document_.values.Group(group);
    for (int i = 0; i < count; ++i) {
        groupValues[i] = read[i];
    }
    document_.modified = true;
    if (values != nullptr) {
        *values = read;
    }
    return true;
}

bool ParameterTransfer::WriteGroup(ParamGroup group) {
    const int count = CoveredCount(group);
    if (!access_.LinkUp() || count == 0) {
        return false;
    }
    QList<ParamCode> codes;
    for (int number = 1; number <= count; ++number) {
        codes.append(ParamCode{GroupInfo(group).letter, number});
    }
    return WriteDocumentValues(codes);
}

bool ParameterTransfer::WriteOne(ParamCode code) {
    const auto [letter, number] = code;
    const int32_t* value = document_.values.Slot({letter, number});
    if (!access_.LinkUp() || value == nullptr) {
        return false;
    }
    if (RefuseOutOfRange({code}, {*value}, DocumentRangeHeading())) {
        return false;
    }
    // One parameter goes without a window.
    ParameterChannel single(access_, settings_, profile_, messenger_);
    const bool ok = single.WriteByRule(code, *value, ParameterRoute::Mailbox,
                                       !IsRestartParameter({letter, number}));
    if (ok) {
        ShowWriteSuccess(messenger_, IsRestartParameter({letter, number}));
    }
    return ok;
}

// ---- The whole set ----

// One read loop for every list of parameters: the whole-set path (Modbus on RS-485 but for the
// 32-bit parameters) with its progress texts, or the mailbox with the group texts. *values
// receives the values read, in list order: all of them, or those before the failed one.
bool ParameterTransfer::ReadList(const QList<ParamCode>& codes, bool wholeSet,
                                 QList<int32_t>* values) {
    values->clear();
    if (!access_.LinkUp()) {
        return false;
    }
    const ParameterRoute route =
        wholeSet ? channel_.LinkRoute(ParameterRoute::Mailbox) : ParameterRoute::Mailbox;
    channel_.Progress().Open(wholeSet ? StringText(StringId::kReadTitle) : QString(),
                             kStepsPerParameter * codes.size());
    for (const ParamCode& code : codes) {
        channel_.BeginParameter(wholeSet ? StringText(StringId::kReadingAll) + code.Text()
                                         : ReadProgressText(code),
                                kStepsPerParameter);
        int32_t value = 0;
        if (!channel_.ReadByRule(code, route, &value)) {
            return channel_.Fail();
        }
        values->append(value);
        channel_.EndParameter();
    }
    channel_.Progress().Close();
    return true;
}

bool ParameterTransfer::ReadCodes(const QList<ParamCode>& codes, QList<int32_t>* values) {
    const bool complete = ReadList(codes, true, values);
    // The drive's model code and encoder pulses change only with a read that completed: a read
    // that failed part way changes nothing the program goes by.
    if (!complete) {
        return false;
    }
    for (qsizetype i = 0; i < values->size(); ++i) {
        if (codes[i].letter == 'C' && codes[i].number == 30) {
            profile_.modelCode = values->at(i);
            profile_.encoderPulses = EncoderPulsesForModel(values->at(i));
        }
    }
    return true;
}

bool ParameterTransfer::ReadAll() {
    const QList<ParamCode> codes = WholeSet();
    QList<int32_t> read;
    if (!ReadCodes(codes, &read)) {
        return false;
    }
    for (qsizetype i = 0; i < codes.size(); ++i) {
        *document_.transfer.Slot(codes[i]) = read[i];
    }
    CopyQuickValuesFromTwins(document_.transfer);
    return true;
}

bool ParameterTransfer::WriteOneOfAll(ParamCode code, int32_t value, ParameterRoute route,
                                      bool* needsRestart) {
    bool liveWrite = !IsRestartParameter(code);
    if (HasWriteRule(code, WriteRule::LowByteOnRestart)) {
        // The word the drive runs with, or its register.
        const ParameterRoute now =
            route == ParameterRoute::Modbus ? ParameterRoute::Modbus : ParameterRoute::LiveCopy;
        int32_t current = 0;
        if (!channel_.Read(code, now, &current)) {
            return false;
        }
        const int32_t raw = DisplayToRaw(code, value, profile_.maxMotorSpeed);
        if ((current & 0xFF) != (raw & 0xFF)) {
            liveWrite = false;
        }
    }
    // A value stored only takes effect after a restart, as a restart parameter's does.
    *needsRestart = !liveWrite;
    return channel_.WriteByRule(code, value, route, liveWrite);
}

bool ParameterTransfer::RefuseOutOfRange(const QList<ParamCode>& codes,
                                         const QList<int32_t>& values, const QString& heading) {
    const QList<RangeFault> faults = ValuesOutOfRange(codes, values, profile_);
    if (faults.isEmpty()) {
        return false;
    }
    Message message;
    message.text = heading;
    for (const RangeFault& fault : faults) {
        message.text += QLatin1Char('\n') + RangeFaultText(fault);
    }
    message.caption = StringText(StringId::kWriteCaption);
    message.icon = MessageIcon::Error;
    messenger_.Show(message);
    return true;
}

bool ParameterTransfer::WriteCodes(const QList<ParamCode>& codes, const QList<int32_t>& values,
                                   qsizetype* written) {
    return WriteValues(codes, values, written, DocumentRangeHeading());
}

bool ParameterTransfer::WriteValues(const QList<ParamCode>& codes, const QList<int32_t>& values,
                                    qsizetype* written, const QString& heading) {
    qsizetype done = 0;
    if (written == nullptr) {
        written = &done;
    }
    *written = 0;
    if (!access_.LinkUp() || values.size() != codes.size() ||
        RefuseOutOfRange(codes, values, heading)) {
        return false;
    }
    const ParameterRoute route = channel_.LinkRoute(ParameterRoute::Mailbox);
    channel_.Progress().Open(StringText(StringId::kWriteTitle), kStepsPerParameter * codes.size());
    bool restart = false;
    for (qsizetype i = 0; i < codes.size(); ++i) {
        const ParamCode& code = codes[i];
        channel_.BeginParameter(StringText(StringId::kWritingAll) + code.Text(),
                                kStepsPerParameter);
        bool needsRestart = false;
        if (!WriteOneOfAll(code, values[i], route, &needsRestart)) {
            return channel_.Fail();
        }
        restart = restart || needsRestart;
        ++*written;
        channel_.EndParameter();
    }
    channel_.Progress().Close();
    ShowWriteSuccess(messenger_, restart);
    return true;
}

namespace {

QList<int32_t> TransferValues(const CNolvaServoDoc& document, const QList<ParamCode>& codes) {
    QList<int32_t> values;
    for (const ParamCode& code : codes) {
        values.append(*document.transfer.Slot(code));
    }
    return values;
}

} // namespace

bool ParameterTransfer::WriteAll() {
    const QList<ParamCode> codes = WholeSet();
    // The transfer buffers hold what a file brought.
    return WriteValues(codes, TransferValues(document_, codes), nullptr, FileRangeHeading());
}

QList<RangeFault> ParameterTransfer::TransferValuesOutOfRange() const {
    const QList<ParamCode> codes = WholeSet();
    return ValuesOutOfRange(codes, TransferValues(document_, codes), profile_);
}

// ---- The custom list ----

bool ParameterTransfer::ReadCustomList(const QList<CustomEntry>& rows) {
    const QList<ParamCode> codes = CustomCodes(rows);
    QList<int32_t> read;
    if (!ReadList(codes, false, &read)) {
        return false;
    }
    for (qsizetype i = 0; i < codes.size(); ++i) {
        *document_.values.Slot(codes[i]) = read[i];
    }
    document_.modified = true;
    return true;
}

bool ParameterTransfer::WriteCustomList(const QList<CustomEntry>& rows) {
    if (!access_.LinkUp()) {
        return false;
    }
    return WriteDocumentValues(CustomCodes(rows));
}

// Group and custom-list writes: the document's values through the mailbox, with the group texts,
// ending with the success message and the restart reminder.
bool ParameterTransfer::WriteDocumentValues(const QList<ParamCode>& codes) {
    QList<int32_t> values;
    for (const ParamCode& code : codes) {
        values.append(*document_.values.Slot(code));
    }
    if (RefuseOutOfRange(codes, values, DocumentRangeHeading())) {
        return false;
    }
    channel_.Progress().Open(QString(), kStepsPerParameter * codes.size());
    for (const ParamCode& code : codes) {
        channel_.BeginParameter(WriteProgressText(code), kStepsPerParameter);
        if (!channel_.WriteByRule(code, *document_.values.Slot(code), ParameterRoute::Mailbox,
                                  !IsRestartParameter(code))) {
            return channel_.Fail();
        }
        channel_.EndParameter();
    }
    channel_.Progress().Close();
    ShowWriteSuccess(messenger_, true);
    return true;
}

// ---- Copy commands ----

void ParameterTransfer::ShowFileError(const QString& error) {
    Message message;
    message.text = error;
    message.icon = MessageIcon::Error;
    messenger_.Show(message);
}

bool ParameterTransfer::CopyDriveToFile(const QString& path) {
    if (!access_.LinkUp()) {
        return false;
    }
    document_.transfer.Fill(0);
    if (!ReadAll()) {
        return false;
    }
    QString error;
    if (!SaveTransferCopyFile(path, document_, &error)) {
        ShowFileError(error);
        return false;
    }
    return true;
}

bool ParameterTransfer::CopyFileToDrive(const QString& path) {
    if (!access_.LinkUp()) {
        return false;
    }
    QString error;
    if (!ReadTransferCopyFile(path, document_, &error)) {
        ShowFileError(error);
        return false;
    }
    return WriteAll();
}
