#pragma once

struct Invocation;

// "orvan-cli nvp ...": parameter files without a drive. Each returns the process exit code:
// 0 success, 1 failure, 2 usage error (for "diff": 3 when the files differ).

// "nvp show FILE [--max-speed N]": code, name, value, unit, range and default of each parameter.
int RunNvpShow(const Invocation& call);
// "nvp export FILE --csv|--json [--max-speed N]": the parameters to the standard output.
int RunNvpExport(const Invocation& call);
// "nvp import CSV -o FILE [--max-speed N] [--force]": a parameter file from an exported CSV.
int RunNvpImport(const Invocation& call);
// "nvp new FILE [--max-speed N] [--model HEX] [--force]": every parameter at its default.
int RunNvpNew(const Invocation& call);
// "nvp diff A B": the parameters whose values differ.
int RunNvpDiff(const Invocation& call);
