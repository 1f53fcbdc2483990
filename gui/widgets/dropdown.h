#pragma once

class QComboBox;
class QWidget;

// An editable drop-down that keeps exactly what was typed: its list opens as usual, but nothing
// completes the text inline, so a short name that begins a longer entry can still be entered.
QComboBox* typingDropDown(const char* name, QWidget* parent);
