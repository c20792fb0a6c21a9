#pragma once

// A parameter transfer wired to the simulated drive through an in-memory port, for the tests of
// the transfers and of the compare. A test may refuse a request ('!') or swallow it (no reply).

#include "base/Messenger.h"
#include "link/DriveOperations.h"
#include "link/MemorySerialBackend.h"
#include "params/DriveConnection.h"
#include "params/NolvaServoDoc.h"
#include "sim/SimulatedDrive.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

struct RecordingProgress : TransferProgress {
    void Open(const QString& c, int s) override {
        caption = c;
        steps = s;
        open = true;
    }
    void SetText(const QString& t) override { texts.append(t); }
    void Step() override { ++stepped; }
    void Close() override { open = false; }
    void ExchangeDone() override { ++exchanges; }
    QString caption;
    int steps = 0;
    int stepped = 0;
    int exchanges = 0;
    bool open = false;
    QStringList texts;
};

struct TransferRig {
    explicit TransferRig(DriveLinkOptions options) : drive({}, options) {
        port->SetResponder([this](QByteArrayView written) -> QByteArray {
            if (refuse && refuse(QString::fromLatin1(written.toByteArray())))
                return QByteArrayLiteral("!");
            if (swallow && swallow(written.toByteArray())) {
                return {};
            }
            return drive.Receive(written);
        });
        EXPECT_EQ(connection.Link().Open(QStringLiteral("/dev/sim")), 0u);
        settings.RS485Port = options.rs485;
        settings.StationID = options.station;
        settings.FrameFormat = options.frameFormat;
        settings.AsciiMode = options.AsciiMode();
        access.AssumeLinkUp();
        document.OnNewDocument();
        transfer.SetProgress(&progress);
    }

    SimulatedDrive drive;
    MemorySerialBackend* port = new MemorySerialBackend;
    LinkSettings settings;
    DriveProfile profile;
    CNolvaServoDoc document{profile};
    RecordingMessenger messenger;
    DriveOperations operations;
    DriveConnection connection{settings,  profile,    document,
                               messenger, operations, std::unique_ptr<SerialBackend>(port)};
    DriveAccess& access = connection.Access();
    ParameterTransfer& transfer = connection.Transfer();
    ParameterChannel& parameters = connection.Parameters();
    RecordingProgress progress;
    std::function<bool(const QString&)> refuse;
    std::function<bool(const QByteArray&)> swallow;
};
