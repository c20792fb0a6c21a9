#pragma once

#include "drive/ParamCode.h"

#include <cstdint>

class DriveAccess;
struct DriveProfile;
struct LinkSettings;

// One parameter as the drive holds it now: a Modbus read on RS-485, else its page-'5' word (the
// live copy) decoded for display. The planners read their parameters this way.
bool ReadParameterNow(DriveAccess& access, const LinkSettings& settings,
                      const DriveProfile& profile, ParamCode code, int32_t* value);
