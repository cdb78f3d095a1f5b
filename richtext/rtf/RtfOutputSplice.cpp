// Changing characters already output: the structure of a paragraph is
// known only at its end (its label goes, the characters that put it into
// a table cell come in front of it).
#include "RtfOutput.h"

#include <algorithm>

namespace rtf::reading {

void Output::splice(qsizetype at, qsizetype removed, QStringView inserted)
{
    std::vector<Run>& runs = doc_.runs;
    // The runs that end after `at`.
    std::size_t first = runs.size();
    while (first > 0 && runs[first - 1].start + runs[first - 1].length > at)
        --first;
    int format = first < runs.size() ? runs[first].format : first > 0 ? runs[first - 1].format : -1;
    if (format < 0 && !inserted.isEmpty())
        format = formatOf(Style{}, false);

    // The stretches from `at` on, as they will be.
    struct Piece {
        qsizetype length;
        int format;
    };
    std::vector<Piece> pieces;
    pieces.push_back({inserted.size(), format});
    const qsizetype cutEnd = at + removed;
    for (std::size_t i = first; i < runs.size(); ++i) {
        const qsizetype from = std::max(runs[i].start, at);
        const qsizetype to = runs[i].start + runs[i].length;
        const qsizetype kept = (to - from) - std::max<qsizetype>(0, std::min(to, cutEnd) - std::max(from, at));
        pieces.push_back({kept, runs[i].format});
    }
    if (first < runs.size() && runs[first].start < at) {
        runs[first].length = at - runs[first].start;
        ++first;
    }
    runs.resize(first);
    qsizetype start = at;
    for (const Piece& p : pieces) {
        if (p.length == 0)
            continue;
        if (!runs.empty() && runs.back().format == p.format)
            runs.back().length += p.length;
        else
            runs.push_back(Run{start, p.length, p.format});
        start += p.length;
    }
    doc_.text.replace(at, removed, inserted.data(), inserted.size());
}

} // namespace rtf::reading
