#include "link/LinkSettings.h"

ComDeviceMap DefaultComDevices() {
    // Commissioning laptops reach the drive through USB serial adapters, which Linux numbers
    // from ttyUSB0 in the order they are plugged in.
    ComDeviceMap devices;
    for (int i = 0; i < kComPortCount; ++i)
        devices[static_cast<size_t>(i)] = QStringLiteral("/dev/ttyUSB%1").arg(i);
    return devices;
}

bool IsUsableDeviceName(const QString& device) {
    if (device.isEmpty() || device.front().isSpace() || device.back().isSpace())
        return false;
    for (const QChar c : device) {
        if (c.category() == QChar::Other_Control)
            return false;
    }
    return true;
}
