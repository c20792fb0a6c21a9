#pragma once

#include "link/LinkSettings.h"
#include "params/CustomTable.h"
#include "params/DisplaySettings.h"

// Everything "OrvanServo.ini" persists.
struct AppSettings {
    LinkSettings link;
    CustomTable customTable;
    DisplaySettings display;
    ComDeviceMap comDevices = DefaultComDevices();
    bool operator==(const AppSettings&) const = default;
};
