#pragma once

#include "link/LinkSettings.h"

#include <QString>

#include <cstdint>

// How the drive commands reach the drive: the options every one of them takes.
struct LinkOptions {
    QString device;
    uint32_t baud = 9600;
    LinkSettings settings;
};

class ParsedOptions;

// The link options given on a command line, or, in `why`, what is wrong with them.
// Without --port the device stays empty, which is an error unless `portRequired` is false.
bool ReadLinkOptions(const ParsedOptions& given, LinkOptions* link, QString* why,
                     bool portRequired = true);
