#pragma once

class QPushButton;
class QWidget;

// A push button of the parameter windows: UTF-8 `text`, object name `name`, and never the
// dialog's default button, so Enter in the grid's editor does not press it.
QPushButton* MakeDialogButton(const char* text, const char* name, QWidget* parent);
