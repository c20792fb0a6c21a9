#pragma once

struct Invocation;

// doctor [--port DEVICE]: the questions users of a serial adapter ask first, answered one line
// each, then one verdict line. Exit 0 when the drive answers with the settings given.
int RunDoctor(const Invocation& call);
