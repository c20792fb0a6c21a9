#pragma once

#include <QStringList>

struct Invocation;

// Parameters by code between a drive and the command line or a parameter file, moved as the
// whole-set transfers move them. Exit codes as for the single exchanges; "compare" exits 3 when
// some differ.

// Whether a "read" names parameters ("read Cn005"), not a page and location ("read 5 0x10").
bool IsCodeRead(const QStringList& words);
// Whether a "write" gives CODE=VALUE pairs, not a page, location and value.
bool IsCodeWrite(const QStringList& words);

// "read CODE...": prints CODE=VALUE, each as the program shows it.
int RunReadCodes(const Invocation& call);
// "write CODE=VALUE...": VALUE as shown (hexadecimal digits for bit-field codes).
int RunWriteCodes(const Invocation& call);
// "read-all -o FILE.nvp [--force]": the drive's parameters into a file.
int RunReadAll(const Invocation& call);
// "write-all FILE.nvp": a parameter file into the drive.
int RunWriteAll(const Invocation& call);
// "compare FILE.nvp": the parameters whose drive value differs from the file's.
int RunCompare(const Invocation& call);
