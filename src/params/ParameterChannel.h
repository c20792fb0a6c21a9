#pragma once

#include "drive/ParamCode.h"

#include <QString>

#include <cstdint>

class DriveAccess;
class Messenger;
class TransferProgress;
struct DriveProfile;
struct LinkSettings;

// How one parameter travels to and from the drive.
enum class ParameterRoute {
    // The page-'5' mailbox: a fetch (index, fetch command, result) or a store (index, word, store
    // command) followed, when asked, by the live copy at the parameter's index. A 32-bit
    // parameter moves as two words at its index and the next.
    Mailbox,
    // The word at page '5' at the parameter's index: the copy the drive runs with.
    LiveCopy,
    // One Modbus register: function 03 to read, 06 to write. A 32-bit parameter does not fit one
    // register and takes the mailbox instead.
    Modbus,
};

// The one way the program reads or writes a drive parameter, for the transfers, the planners, the
// alarm history, the online editor and the tuning pattern. Values are in display form on both
// sides; raw words exist only in here. Every exchange with the drive is followed by one
// ExchangeDone of the progress, and a parameter's progress steps (BeginParameter) advance with
// its acknowledged exchanges. Without a progress window a do-nothing one stands in.
//
// Nothing is sent while the link is down. Failures say nothing by themselves: the caller ends its
// operation with Fail(), which shows "错误:\n\n" + the text of the parameter in progress.
class ParameterChannel {
public:
    // All parts belong to the caller and outlive this object.
    ParameterChannel(DriveAccess& access, const LinkSettings& settings, const DriveProfile& profile,
                     Messenger& messenger);

    // Null: no window.
    void SetProgress(TransferProgress* progress);
    TransferProgress& Progress() const { return *progress_; }

    bool LinkUp() const;
    // Modbus on RS-485, `otherwise` on RS-232.
    ParameterRoute LinkRoute(ParameterRoute otherwise) const;

    // One parameter of an operation: the progress shows `text` and takes one step now; each
    // acknowledged exchange then takes one more until the parameter has had `steps`.
    void BeginParameter(const QString& text, int steps);
    // The steps the parameter has not taken yet.
    void EndParameter();

    // The parameter's value in display form.
    bool Read(ParamCode code, ParameterRoute route, int32_t* value);
    // Mailbox: the store, then with `live` the live copy (both words stored before either live
    // write). LiveCopy: the live write alone. Modbus: the register write.
    bool Write(ParamCode code, int32_t value, ParameterRoute route, bool live);

    // The same with what the parameter's write rule asks beyond its value. A read shows only a
    // LowBitsOnly parameter's own bits; a write keeps the other bits of the word the drive holds
    // (read by the same route) and ends with the commit write a FollowUpCommit parameter needs.
    bool ReadByRule(ParamCode code, ParameterRoute route, int32_t* value);
    bool WriteByRule(ParamCode code, int32_t value, ParameterRoute route, bool live);

    // A mailbox word by index, raw: the alarm history's ring pointer has no parameter code.
    bool FetchWord(int index, int32_t* word);

    // Ends an operation at its failed exchange: the progress window closes and the user reads
    // "错误:\n\n" + the text of the parameter in progress (caption "通讯信息"). Always false.
    bool Fail();
    // The same with another step text and caption.
    bool Fail(const QString& step, const QString& caption);

private:
    bool Acknowledged(bool ok);
    bool StoreWord(int index, int32_t word);
    bool WriteLiveWord(int index, int32_t word);
    bool CommitWrite(ParamCode code);

    DriveAccess& access_;
    const LinkSettings& settings_;
    const DriveProfile& profile_;
    Messenger& messenger_;
    TransferProgress* progress_;
    QString currentText_;
    int stepsOfParameter_ = 0;
    int stepsWanted_ = 0;
};
