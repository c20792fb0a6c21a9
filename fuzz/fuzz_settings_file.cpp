// The settings file reader. It refuses nothing: it keeps what it read up to the first line out of
// place and defaults for the rest. On every input:
// - the settings are whole: the COM entry and frame format in range, the ASCII flag the one the
//   frame format gives, every COM device usable and taken from a complete "COMn=" line of the
//   file (never part of one);
// - the online editor's panels hold only what the editor can show (no repeats, no twins);
// - writing them and reading that back gives the same settings, and writing is stable.
//
// A file read need not write back to itself: keys may be preceded by other text, numbers carry
// signs, spaces and trailing text, lines end in LF or CR LF, a list count may claim more entries
// than follow. So the invariant is read -> write -> read gives the same settings.

#include "FuzzCheck.h"

#include "app/SettingsFile.h"
#include "online/OnlinePanels.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray content(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const AppSettings settings = ParseSettings(content);

    const LinkSettings& link = settings.link;
    FUZZ_CHECK(link.ComPort >= 0 && link.ComPort < kComPortCount);
    FUZZ_CHECK(link.FrameFormat >= 0 && link.FrameFormat <= 8);
    FUZZ_CHECK(link.AsciiMode == (link.FrameFormat < 6));
    const ComDeviceMap defaults = DefaultComDevices();
    for (int i = 0; i < kComPortCount; ++i) {
        const QString& device = settings.comDevices[static_cast<size_t>(i)];
        FUZZ_CHECK(IsUsableDeviceName(device));
        if (device != defaults[static_cast<size_t>(i)]) {
            const QByteArray line = "COM" + QByteArray::number(i + 1) + '=' + device.toUtf8();
            // The first line of a file is never a device line.
            FUZZ_CHECK(content.contains('\n' + line + '\n') ||
                       content.contains('\n' + line + "\r\n") || content.endsWith('\n' + line));
        }
    }

    FUZZ_CHECK(UsablePanelCodes(settings.onlineCodes) == settings.onlineCodes);

    const QByteArray written = FormatSettings(settings);
    const AppSettings reread = ParseSettings(written);
    FUZZ_CHECK(reread == settings);
    FUZZ_CHECK(FormatSettings(reread) == written);
    return 0;
}
