#pragma once
// Small text helpers shared by the windows.

#include <QString>
#include <QStringList>

// True when the text is empty or holds only spaces, LF, CR and tabs.
bool IsBlankText(const QString& text);
// True when an element of list equals text exactly (letter case counts).
bool IsInList(const QString& text, const QStringList& list);
// The text, cut to its first 500 characters.
QString TruncateTo500(const QString& text);
// The path without one trailing "\" or "/".
QString StripTrailingSlash(const QString& path);
// Cuts text (in place) before its first NUL among the first 255 characters
// and returns it.
QString StripNulls(QString& text);
// Percent-encodes text for a web address, character by character in the
// Windows-1252 code page: letters and digits stay, a space becomes "%20",
// every other code "%XX"; a character the code page cannot hold becomes "?"
// and so "%3F".
QString URLEncode(const QString& text);
// The Windows-1252 code of a character, or the code of "?" when it has none.
int Cp1252Code(char32_t ch);
