#pragma once

struct Invocation;

// "orvan-cli nvp report FILE -o REPORT.pdf [--max-speed N] [--force]": the printed parameter
// report of a file as a four-page PDF, without a printer or a display. Returns 0 when the PDF was
// written, 1 on failure, 2 on a usage error. Needs a QGuiApplication (main makes one).
int RunNvpReport(const Invocation& call);

// Whether a command line asks for the report (main then starts the offscreen GUI application
// that drawing text needs).
bool IsReportCommand(int argc, char* argv[]);
