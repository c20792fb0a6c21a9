#pragma once

#include "params/ParameterChannel.h"

#include <cstdint>

class CNolvaServoDoc;
class DriveAccess;
class Messenger;
class TransferProgress;
struct DriveProfile;
struct LinkSettings;

// The multi-function contact parameters Hn501..Hn519 between the drive and the document's drive
// copy of the contact slots: the planner reads them before it opens and writes them when it
// finishes; the diagnostics read them for their contact labels. One progress step per parameter.
//
// On RS-485 each parameter is one Modbus register; otherwise a read takes the live copy from
// page '5' at the parameter's index and a write is the mailbox store without the live write (the
// drive takes contact functions at its next start). The first failed exchange ends the loop with
// "错误:\n\n" + that parameter's progress text. The caller holds Busy.
class ContactTransfer {
public:
    static constexpr int kParameterCount = 19; // Hn501..Hn519

    // All parts belong to the caller and outlive this object.
    ContactTransfer(DriveAccess& access, const LinkSettings& settings, DriveProfile& profile,
                    CNolvaServoDoc& document, Messenger& messenger);

    void SetProgress(TransferProgress* progress) { channel_.SetProgress(progress); }

    // On success the 19 values and 0 for the spare slot become the document's drive copy. False
    // without a message while the link is down.
    bool Read();
    // The document's values of Hn501..Hn519, then "写入参数成功！！" with the restart reminder.
    bool Write();

private:
    CNolvaServoDoc& document_;
    Messenger& messenger_;
    ParameterChannel channel_;
};
