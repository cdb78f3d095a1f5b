#pragma once
// Drop-down lists that open as a list of a few rows with a scroll bar, not
// as a column the height of the screen (some styles show every entry of a
// read-only list at once and ignore the row limit).

class QComboBox;

// At most `rows` rows are shown; more entries scroll.
void LimitPopupRows(QComboBox* box, int rows = 20);
