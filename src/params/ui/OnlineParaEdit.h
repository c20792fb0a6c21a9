#pragma once

class QWidget;
struct CommandActionContext;

// The online parameter editor, modal: four panels of drive parameters changed digit by digit, each
// press written to the drive at once. Opened by its menu command and by the trace window.
void RunOnlineParaEdit(CommandActionContext& context, QWidget* parent);
