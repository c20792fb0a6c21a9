#pragma once

struct Invocation;

// "orvan-cli trd ...": trace files without a drive. Each returns the process exit code:
// 0 success, 1 failure (an unreadable file, a failed write), 2 usage error.

// "trd show FILE": the settings of a trace file.
int RunTrdShow(const Invocation& call);
// "trd export FILE --csv [OUT]": its samples as CSV, to OUT, or to the standard output without
// OUT or with OUT "-".
int RunTrdExport(const Invocation& call);
