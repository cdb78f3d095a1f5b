#pragma once
// Number conversions of settings texts, the way the program's values are
// read everywhere: a whole number rounded half to even, refused when the
// text is no number or does not fit. The settings dialog's stored numbers
// (and the typing-echo options it has the document window show) are read
// rounded half away from zero instead.

#include <QString>

// 16-bit whole number; throws std::invalid_argument ("Type mismatch") or
// std::out_of_range ("Overflow").
int CInt(const QString& text);
// 32-bit whole number; throws as CInt does.
long CLng(const QString& text);
// 32-bit whole number rounded half away from zero; throws
// std::invalid_argument when the text is no number or does not fit.
int RoundedInt(const QString& text);
