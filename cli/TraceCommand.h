#pragma once

struct Invocation;

// "trace": sets up a capture in the drive, starts it, waits for the recording (a progress line
// on a terminal), reads the samples back and writes the trace file (-o, ".trd") and, with --csv,
// the samples as "trd export" writes them. The options are checked before the port is opened.
// Exit codes as for the single exchanges.
int RunTrace(const Invocation& call);
