#pragma once

#include "drive/ParamCode.h"

#include <cstdint>

class Messenger;
class QWidget;

// Opens the editor that suits `code` modally with `*value`; on OK stores the new value and
// returns true. `min`/`max`: the document's range of the parameter.
bool EditParameterValue(QWidget* parent, const ParamCode& code, int32_t* value, int32_t min,
                        int32_t max, Messenger& messenger);
