#pragma once

#include "drive/DriveProfile.h"
#include "drive/ParamCode.h"
#include "link/LinkSettings.h"
#include "params/CustomTable.h"
#include "params/ParameterChannel.h"

#include <QList>
#include <QString>

#include <cstdint>

class CNolvaServoDoc;
class DriveAccess;
class Messenger;

// The window that shows a transfer's progress: a text line and a bar of three steps per
// parameter. Group and custom-list transfers open it without a caption; whole-set transfers
// with "读取" or "写入".
class TransferProgress {
public:
    virtual ~TransferProgress() = default;
    virtual void Open(const QString& caption, int steps) = 0;
    virtual void SetText(const QString& text) = 0;
    virtual void Step() = 0;
    virtual void Close() = 0;
    // After every exchange with the drive, so that the window can keep the event loop alive.
    virtual void ExchangeDone() {}
};

// A value outside its parameter's range for the drive described by a profile.
struct RangeFault {
    ParamCode code;
    int32_t value = 0;
    int32_t min = 0;
    int32_t max = 0;
};
QList<RangeFault> ValuesOutOfRange(const QList<ParamCode>& codes, const QList<int32_t>& values,
                                   const DriveProfile& profile);
// "Cn019 = 70000 (范围 0~50000)", the value and range as the catalogue shows them.
QString RangeFaultText(const RangeFault& fault);

// Moving parameter values between the document and the drive: one parameter, a group, the
// custom list, the whole set. Each operation reports its first failed exchange with the message
// "错误:\n\n" + the progress text of the parameter, stops there and undoes nothing; a group,
// custom-list or whole-set read stores nothing unless it completes. While the link is down nothing
// happens and nothing is said.
//
// On RS-232 every parameter goes through the page-'5' mailbox. On RS-485 the whole-set transfers
// use one Modbus register per parameter, except Pn307..Pn309: their 32-bit values do not fit a
// register and travel through the mailbox as two words, as on RS-232.
//
// Every write first checks all its values against their ranges for the drive (the profile's
// maximum speed): when one is outside, a message names each such parameter with its value and
// range, and nothing is sent. A damaged or hand-edited file never reaches the drive as numbers
// cut to 16 bits.
//
// The caller sets the session's Busy flag around each operation.
class ParameterTransfer {
public:
    // All parts belong to the caller and outlive this object.
    ParameterTransfer(DriveAccess& access, const LinkSettings& settings, DriveProfile& profile,
                      CNolvaServoDoc& document, Messenger& messenger);

    void SetProgress(TransferProgress* progress);

    // Parameters a group read or write covers: Cn001..Cn016, Tn101..Tn107, Sn201..Sn216,
    // Pn301..Pn310; 0 for the other groups.
    static int CoveredCount(ParamGroup group);

    // Read group: the covered parameters into the document's values (marked modified); *values
    // receives them in number order for the group's window.
    bool ReadGroup(ParamGroup group, QList<int32_t>* values = nullptr);
    // Write group: the document's values of the covered parameters.
    bool WriteGroup(ParamGroup group);
    // Write one parameter from the document, with the success message; silent on failure.
    bool WriteOne(ParamCode code);

    // The whole set (154 parameters, quick group excluded) between drive and transfer buffers.
    bool ReadAll();
    bool WriteAll();

    // Any parameters moved as the whole-set transfers move them (Modbus on RS-485, the mailbox
    // for Pn307..Pn309 and on RS-232), with the whole-set progress texts and failure message.
    // A read that completes updates the drive profile from Cn030 (model code, encoder pulses); one
    // that fails part way leaves the profile as it was. A successful
    // write ends with the success message (the restart reminder when a restart parameter was
    // among them). When an exchange fails, *values holds the values read before it and *written
    // counts the parameters written before it.
    bool ReadCodes(const QList<ParamCode>& codes, QList<int32_t>* values);
    bool WriteCodes(const QList<ParamCode>& codes, const QList<int32_t>& values,
                    qsizetype* written = nullptr);

    // The custom list in its order. Rows that name no parameter are passed over.
    bool ReadCustomList(const QList<CustomEntry>& rows);
    bool WriteCustomList(const QList<CustomEntry>& rows);

    // Copy to computer: read the whole set and write it to `path` (nothing is written when the
    // read fails). Copy to drive: read `path` into the transfer buffers and write them.
    bool CopyDriveToFile(const QString& path);
    bool CopyFileToDrive(const QString& path);
    // The transfer buffers' values that a write all would refuse.
    QList<RangeFault> TransferValuesOutOfRange() const;

private:
    // True, after the message headed by `heading`, when a value is outside its range.
    bool RefuseOutOfRange(const QList<ParamCode>& codes, const QList<int32_t>& values,
                          const QString& heading);
    bool WriteValues(const QList<ParamCode>& codes, const QList<int32_t>& values,
                     qsizetype* written, const QString& heading);
    bool ReadList(const QList<ParamCode>& codes, bool wholeSet, QList<int32_t>* values);
    bool WriteDocumentValues(const QList<ParamCode>& codes);
    // *needsRestart: the value was stored only and takes effect after a restart.
    bool WriteOneOfAll(ParamCode code, int32_t value, ParameterRoute route, bool* needsRestart);
    void ShowFileError(const QString& error);

    DriveAccess& access_;
    const LinkSettings& settings_;
    DriveProfile& profile_;
    CNolvaServoDoc& document_;
    Messenger& messenger_;
    ParameterChannel channel_;
};

// Progress texts of reading and writing one parameter of a group: "读取控制参数：Cn0%02d" ...
// "写入参数成功！！", with the restart reminder and a warning icon when the values take effect
// only after a restart.
void ShowWriteSuccess(Messenger& messenger, bool restartReminder);

// The 154 codes of a whole-set transfer, in catalogue order: every group but the quick group.
QList<ParamCode> WholeSet();

QString ReadProgressText(ParamCode code);
QString WriteProgressText(ParamCode code);
