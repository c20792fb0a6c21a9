#pragma once

#include <QString>

#include <cstdint>
#include <span>

// The drive/motor combination is one 16-bit model code (the value of Cn030). Of its low 12 bits,
// hex digit 2 selects the drive size, digit 1 the motor and digit 0 the encoder; bit 12 is
// carried by some codes and ignored by everything but the model list's code column.

// Encoder pulses per revolution: 2000, 2500 or 8192; 8192 for a code without a motor entry.
int32_t EncoderPulsesForModel(int32_t code);

// "400W 3000rpm 2500ppr"; "---------------------" for a code without an entry.
QString MotorTypeText(int32_t code);

// Drive model name for the status bar, "MQRX-15A" ..; "---------" for an unknown code.
QString DriveModelName(int32_t code);

// Drive size column of the model list: "KVDM15" .. "KVDM75".
QString DriveSizeText(int32_t code);

// One row of the model list, in list order.
struct ModelListRow {
    uint16_t code;   // all 16 bits, shown as "%04X"
    int motorNameId; // string ID of the motor model name
};

// The 74 supported combinations in list order.
std::span<const ModelListRow> ModelList();
