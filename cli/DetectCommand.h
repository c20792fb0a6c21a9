#pragma once

struct Invocation;

// detect [--stations A-B] [--all]: finds the drive on --port by trying every baud rate, line
// shape, frame format and station; prints what answered and the options that reach it.
int RunDetect(const Invocation& call);
