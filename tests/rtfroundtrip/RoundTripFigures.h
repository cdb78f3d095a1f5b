#pragma once
// What an RTF file loses on its way through a program, as LibreOffice
// reads the file before and after: words gone or added, words whose look
// changed, paragraphs laid out differently, structures gone, bytes.

#include "OdtFacts.h"

#include <QStringList>

#include <map>
#include <utility>
#include <vector>

struct RoundTripFigures {
    QString name;
    QString error; // LibreOffice could not read one of the two files
    qint64 bytesBefore = 0, bytesAfter = 0;
    int words = 0, wordsLost = 0, wordsAdded = 0, wordsRestyled = 0;
    std::map<QString, int> wordsLostIn; // place -> words lost there
    QStringList someLostWords; // the first 200
    int paragraphs = 0, paragraphsRelaidOut = 0, tablesReshaped = 0;
    std::map<QString, std::pair<int, int>> structures; // kind -> before, after

    bool lossless() const;
    // Everything that differs, on one line.
    QString summary() const;
    void add(const RoundTripFigures& other);
};

RoundTripFigures compareFacts(const OdtFacts& before, const OdtFacts& after);

// Each pair is (original, copy). LibreOffice converts all of them in one
// run with a profile of its own, so several runs can go on side by side.
// False with the reason when LibreOffice cannot be run at all.
bool compareRtfFiles(const std::vector<std::pair<QString, QString>>& pairs, std::vector<RoundTripFigures>& figures,
                     QString* error);

// A table of the figures, one file a line, the total last, then the
// structures and words lost by kind.
QString figuresTable(const std::vector<RoundTripFigures>& figures);
