#pragma once

#include <QDialog>

class CNolvaServoDoc;
class DriveConnection;
class Messenger;
class QLineEdit;
struct DriveProfile;

// "共振抑制滤波器设置": the resonance suppression filter's frequency (Cn013) and quality factor
// (Cn014), preset by the analysis, written to the drive with "写入(&W)".
class CEditCn013Dialog : public QDialog {
    Q_OBJECT
public:
    CEditCn013Dialog(DriveConnection& connection, CNolvaServoDoc& document,
                     const DriveProfile& profile, Messenger& messenger, int frequency,
                     int quality, QWidget* parent = nullptr);

    void OnWrite();

private:
    void WriteNow();

    DriveConnection& connection_;
    CNolvaServoDoc& document_;
    const DriveProfile& profile_;
    Messenger& messenger_;
    QLineEdit* frequency_ = nullptr;
    QLineEdit* quality_ = nullptr;
};
