#pragma once

#include <QString>

struct DetectedDrive;
struct DetectionOptions;
struct Invocation;

// --stations: "A-B" or "N" within 1..247 into `options`; false when it is no such range.
bool ReadStationRange(const QString& text, DetectionOptions* options);

// The link options that reach a drive found: "--baud 19200 --rs485 --station 7 --frame-format 7".
QString LinkOptionsText(const DetectedDrive& drive);

// detect [--stations A-B] [--all]: finds the drive on --port by trying every baud rate, line
// shape, frame format and station; prints what answered and the options that reach it.
int RunDetect(const Invocation& call);
