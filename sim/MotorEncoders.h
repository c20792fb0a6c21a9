#pragma once

#include <cstdint>

// Encoder pulses per revolution of the motor a model code names (Cn030): of the code's low 12
// bits, the last hexadecimal digit is the encoder (0: 2000, 1 and 3: 2500, 2 and 4: 8192). A
// code for no motor the drive supports counts 8192.
int32_t EncoderPulsesOfModel(int32_t modelCode);
