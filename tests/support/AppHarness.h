#pragma once

// The desktop program in the test process: the real application object, frame and view, with
// scripted messages and file dialogs, a simulated drive behind an in-memory port, and ticks the
// test advances.

#include "app/ui/MainFrame.h"
#include "app/ui/NolvaServoApp.h"
#include "app/ui/NolvaServoView.h"
#include "base/Messenger.h"
#include "link/MemorySerialBackend.h"
#include "sim/MemoryPortDrive.h"
#include "sim/SimulatedDrive.h"
#include "support/ManualTickers.h"
#include "support/ScriptedChooser.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>

struct AppHarness {
    AppHarness() {
        // Every test starts with an empty recent-file list (kept under the run's own folder).
        QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Orvan"),
                  QStringLiteral("OrvanServo"))
            .remove(QStringLiteral("Recent File List"));
    }

    // Starts the program with `options`; the settings file is in this harness's folder unless
    // the options name one.
    bool Start(ProgramOptions options = {}, bool stopSignals = false) {
        if (options.settingsPath.isEmpty())
            options.settingsPath = SettingsPath();
        AppEnvironment environment;
        environment.messenger = &messenger;
        environment.fileChooser = &chooser;
        environment.tickers = &tickers;
        environment.splash = false;
        environment.stopSignals = stopSignals;
        environment.makeBackend = [this] {
            auto backend = std::make_unique<MemorySerialBackend>();
            port = backend.get();
            AttachToMemoryPort(drive, *port, machineFollowsPort, honestLine);
            return backend;
        };
        app = std::make_unique<CNolvaServoApp>(options, environment);
        return app->InitInstance();
    }

    QString SettingsPath() const { return dir.filePath(QStringLiteral("OrvanServo.ini")); }
    CMainFrame& Frame() const { return *app->Frame(); }
    CNolvaServoView& View() const { return *app->View(); }
    DriveSession& Session() const { return app->View()->Session(); }

    // The options of a start that asks for the link at once.
    static ProgramOptions Connected() {
        ProgramOptions options;
        options.connect = true;
        return options;
    }

    // Whether the menu item of `command` is enabled after the frame's update.
    bool Enabled(int command) const {
        Frame().UpdateCommandUI();
        return Frame().Action(command)->isEnabled();
    }

    static QByteArray ReadAll(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Ticks within which a requested link connects.
    static constexpr int kTicksToConnect = DriveSession::kTicksBetweenConnects + 1;

    // Advances the ticks one at a time, the event loop running after each, until `done` holds;
    // false when it still does not after `ticks` ticks.
    bool TickUntil(const std::function<bool()>& done, int ticks) {
        for (int tick = 0; !done(); ++tick) {
            if (tick == ticks)
                return false;
            tickers.Advance();
        }
        return true;
    }

    // Lets the event loop run (no tick passes) until `done` holds or `ms` pass: for what the
    // program posts to itself and for signals.
    static bool WaitFor(const std::function<bool()>& done, int ms) {
        QElapsedTimer timer;
        timer.start();
        while (!done()) {
            if (timer.elapsed() > ms)
                return false;
            QTest::qWait(5);
        }
        return true;
    }

    QTemporaryDir dir;
    RecordingMessenger messenger;
    ScriptedChooser chooser;
    ManualTickers tickers;
    SimulatedDrive drive;
    bool machineFollowsPort = false; // the drive's machine moves on the port's clock
    bool honestLine = false;         // replies garbled while the port's line is not the drive's
    MemorySerialBackend* port = nullptr;
    std::unique_ptr<CNolvaServoApp> app;
};
