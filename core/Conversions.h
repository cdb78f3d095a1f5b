#pragma once
// Number conversions of settings texts, the way the program's values are
// read everywhere: a whole number rounded half to even, refused when the
// text is no number or does not fit.

#include <QString>

// 16-bit whole number; throws std::invalid_argument ("Type mismatch") or
// std::out_of_range ("Overflow").
int CInt(const QString& text);
// 32-bit whole number; throws as CInt does.
long CLng(const QString& text);
