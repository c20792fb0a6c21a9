#pragma once

#include "link/LinkSettings.h"
#include "params/CustomTable.h"
#include "params/DisplaySettings.h"
#include "params/OnlinePanels.h"

// Everything "OrvanServo.ini" persists.
struct AppSettings {
    LinkSettings link;
    CustomTable customTable;
    DisplaySettings display;
    ComDeviceMap comDevices = DefaultComDevices();
    OnlinePanelCodes onlineCodes{}; // the online editor's panels
    bool operator==(const AppSettings&) const = default;
};
