#pragma once

class QWidget;
struct CommandActionContext;
struct TraceRecord;

// The trace window's two drive sequences, each run from its button.

// "Trace Setting": reads the contact functions from the drive into the document, runs the settings
// dialog and, on OK, takes the new settings into `record` (samples cleared, display back to its
// defaults). False when there is no drive, the read failed or the user cancelled; `record` is then
// unchanged.
bool RunTraceSetting(CommandActionContext& context, QWidget* parent, TraceRecord& record);

// "START": writes the settings to the drive, starts the recording, waits for it and reads the
// samples back into `record`. False when anything failed or the user cancelled (the message has
// been shown); `record` then keeps its previous samples.
bool RunTraceStart(CommandActionContext& context, QWidget* parent, TraceRecord& record);
