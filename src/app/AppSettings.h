#pragma once

#include "link/LinkSettings.h"
#include "online/OnlinePanels.h"
#include "params/CustomTable.h"
#include "params/DisplaySettings.h"

// Everything "OrvanServo.ini" persists.
struct AppSettings {
    LinkSettings link;
    CustomTable customTable;
    DisplaySettings display;
    ComDeviceMap comDevices = DefaultComDevices();
    OnlinePanelCodes onlineCodes{}; // the online editor's panels
    bool operator==(const AppSettings&) const = default;
};
