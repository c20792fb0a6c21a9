#pragma once

struct Invocation;

// The program's monitors on the command line. Exit codes as for the single exchanges.

// "monitor [Un-01 ...] [--interval MS] [--count N] [--csv FILE] [--force]": the status display
// values at each interval until the count or Ctrl+C.
int RunMonitor(const Invocation& call);
// "diag": dn-01..dn-04 and the contact lamps.
int RunDiagnostics(const Invocation& call);
// "alarms [--clear]": the alarm history, newest first.
int RunAlarms(const Invocation& call);
