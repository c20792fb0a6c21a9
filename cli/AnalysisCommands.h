#pragma once

struct Invocation;

// "fra-analyse RECORD.csv [--model CODE] [-o RESULT.csv]": the frequency response of a recorded
// measurement without a drive. Prints the resonance and anti-resonance lines; exit 0, 1 when the
// record cannot be read or the result not written (nothing written then), 2 on bad arguments.
int RunFraAnalyse(const Invocation& call);

// "fra --load PERCENT [-o RESULT.csv] [--record RECORD.csv] [--force]": one measurement on the
// drive, the lines fra-analyse prints, the response and the record written when asked. Exit 0,
// 1 when the measurement or a file failed, 2 on bad arguments (found before the port opens).
int RunFra(const Invocation& call);
