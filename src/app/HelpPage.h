#pragma once

#include <QString>

// The program's own help page (HTML), shown when the program folder holds no "NVSDHELP.chm".
// Its texts are the ones the windows show, taken from the string table.
QString ProgramHelpHtml();
