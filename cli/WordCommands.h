#pragma once

struct Invocation;

// Single exchanges with a drive, by page and location or by Modbus register. Each returns the
// exit code: 0 success, 1 a failed exchange or port, 2 a usage error (found before the port is
// opened).

// "probe": the identification probe; prints dn-03 (input contacts).
int RunProbe(const Invocation& call);
// "read PAGE LOC": a command-protocol read; prints the word.
int RunReadWord(const Invocation& call);
// "write PAGE LOC VALUE [--store]": a command-protocol write, with --store through the mailbox.
int RunWriteWord(const Invocation& call);
// "mb-read REG": Modbus function 03 (needs --rs485); prints 0..65535.
int RunModbusRead(const Invocation& call);
// "mb-write REG VALUE": Modbus function 06 (needs --rs485).
int RunModbusWrite(const Invocation& call);
