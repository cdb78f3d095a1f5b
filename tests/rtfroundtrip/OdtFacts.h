#pragma once
// What a word processor shows of a document, read from the flat
// OpenDocument text (.fodt) LibreOffice writes: every word with where it
// stands and its look, every paragraph with its layout, and how many of
// each structure (tables, lists, pictures, links, fields, ...) it holds.

#include <QString>

#include <map>
#include <vector>

struct OdtWord {
    QString place; // body, header, footer, note, text box or hidden
    QString text;
    QString look; // bold, italic, underline, size, colour, font, position
};

struct OdtParagraph {
    QString text;
    QString layout; // alignment, indents, spacing, direction, list level
};

struct OdtFacts {
    std::vector<OdtWord> words;
    std::vector<OdtParagraph> paragraphs;
    std::vector<QString> tableColumns; // each table's column widths
    std::map<QString, int> counts;     // structure kind -> how many
};

// Reads the facts of a flat OpenDocument text file; false when the file
// cannot be read or parsed.
bool readOdtFacts(const QString& fodtPath, OdtFacts& facts, QString* error = nullptr);
