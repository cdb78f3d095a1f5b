#pragma once
// The program's UI texts by numeric id, read from strings.txt in the program
// folder, and its icon resources.

#include <QIcon>
#include <QString>
#include <optional>

// The text of an id, or nothing when the table has no such id.
std::optional<QString> FindResString(int id);
// The text of an id, or "" when the table has no such id.
QString LoadResString(int id);
// Icon resource by id (101 is the program icon).
QIcon LoadResIcon(int id);

// Parses the table format: lines `id<TAB>"text"` with \\ \" \r \n \t
// escapes; '#' comments and blank lines skipped. Lines that do not parse are
// skipped. Exposed for tests.
QHash<int, QString> ParseStringTable(const QByteArray& data);
