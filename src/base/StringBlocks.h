#pragma once

#include "base/StringTable.h"

#include <span>

// The string table is kept in blocks of data, one file each; StringTable.cpp merges them.
std::span<const StringEntry> CommonStrings();        // menus, messages, captions, status texts
std::span<const StringEntry> ParameterNameStrings(); // names of parameters and monitor values
std::span<const StringEntry> ParameterHelpStrings(); // help texts 570..721
std::span<const StringEntry> MotorModelStrings();    // motor model column of the model list
