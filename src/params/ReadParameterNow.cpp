#include "params/ReadParameterNow.h"

#include "drive/DriveMap.h"
#include "drive/DriveProfile.h"
#include "drive/ParameterCatalogue.h"
#include "link/DriveAccess.h"
#include "link/LinkSettings.h"

bool ReadParameterNow(DriveAccess& access, const LinkSettings& settings,
                      const DriveProfile& profile, ParamCode code, int32_t* value) {
    if (settings.RS485Port) {
        const bool ok = access.ReadParameterModbus(code, settings.AsciiMode);
        *value = access.LastValue;
        return ok;
    }
    int32_t word = 0;
    const bool ok = access.ReadSignedWord(DriveMap::kParameterPage, ParameterIndexOf(code), &word);
    *value = RawToDisplay(code, word, profile.maxMotorSpeed);
    return ok;
}
