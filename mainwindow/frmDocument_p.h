#pragma once
// Helpers shared by the document window's source files.

#include <QString>

class QWidget;

namespace docwin {

// Twips (1/1440 inch) and pixels of the screen a widget is on.
int twipsToPixels(const QWidget* w, int twips);
int pixelsToTwips(const QWidget* w, int pixels);
// Places a control in its parent, in twips.
void placeTwips(QWidget* control, int left, int top, int width, int height);

// A settings text as a Boolean: "True"/"False" in any letter case, or a
// number (not 0 is True). Throws std::invalid_argument ("Type mismatch")
// for anything else.
bool TextToBool(const QString& text);
// A settings text as a number; throws std::invalid_argument ("Type
// mismatch") when it is none.
double TextToDouble(const QString& text);

} // namespace docwin
