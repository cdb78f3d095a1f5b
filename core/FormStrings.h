#pragma once
// Puts the string table's texts into a window when it loads, and scales a
// window laid out at 96 dpi for the screen.
//
// Design-time ids are held in dynamic properties:
//   "Tag"          window caption id; a control's caption id
//   "ToolTipText"  a control's tooltip id
//   "TypeName"     optional: overrides the type the control is treated as
//                  ("Label", "SkinLabel", "Button", "Menu", "TabStrip",
//                  "Toolbar", "ListView"; anything else is a plain control)
// A menu action holds its id as its text. A tab of a QTabBar/QTabWidget
// holds a QVariantMap {"Tag", "ToolTipText"} as its tab data. A toolbar
// action holds "Tag". A list view holds its header ids in "ColumnTags"
// (a QStringList).

#include <QString>

class QWidget;

void LoadFormStrings(QWidget* form);

// Width, Height, Left and Top := value / 15 * twips per pixel of the
// window's screen (1440 / logical dpi). Throws std::invalid_argument for a
// null target.
void ScaleToDpi(QWidget* target);
// value / 15 * twipsPerPixel, the rule ScaleToDpi applies to each value.
int ScaleTwipsValue(int value, double twipsPerPixel);
// Twips per pixel of the screen a widget is on (of the primary screen for
// null): 1440 / logical dpi.
double TwipsPerPixelX(const QWidget* widget);
double TwipsPerPixelY(const QWidget* widget);

// Has no effect; kept for the skin loading that calls it first.
void ApplyFormSkin(QWidget* form);

// "Converted as a whole": the text must be a number (surrounding blanks
// allowed). Nothing for "", "abc", "12a".
bool WholeNumber(const QString& text, int& value);
// The number at the start of the text ("1129 x" gives 1129), 0 when the text
// does not start with a number.
int LeadingNumber(const QString& text);
