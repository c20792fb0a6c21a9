#pragma once

#include <QString>

class CNolvaServoDoc;
class DriveConnection;
class Messenger;
struct DriveProfile;

// What came of the filter dialog's write.
enum class FilterWrite {
    NotLinked,           // "通讯错误！！": nothing written, the dialog stays
    FrequencyOutOfRange, // "滤波器频率超出设定范围！": the frequency field is to be corrected
    QualityOutOfRange,   // "滤波器品质因数超出设定范围！": the quality field is to be corrected
    Failed,              // a store failed (nothing said); the dialog closes
    Written,             // both stored, the success message with the restart reminder shown
};

// The resonance suppression filter's write: the two field texts checked (frequency 0..1000 Hz,
// quality factor 0..100), taken as the document's Cn013 and Cn014 and stored in the drive through
// the parameter mailbox, one after the other, as a drive operation under Busy.
FilterWrite WriteResonanceFilter(DriveConnection& connection, CNolvaServoDoc& document,
                                 const DriveProfile& profile, Messenger& messenger,
                                 const QString& frequencyText,
                                 const QString& qualityText);
