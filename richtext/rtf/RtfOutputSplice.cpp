// Changing characters already output: the structure of a paragraph is
// known only at its end (its label goes, the characters that put it into
// a table cell come in front of it).
#include "RtfOutput.h"

#include <algorithm>
#include <climits>

namespace rtf::reading {

void Output::splice(qsizetype at, qsizetype removed, QStringView inserted)
{
    std::vector<Run>& runs = doc_.runs;
    // The first run that ends after `at` (runs before it are left alone).
    std::size_t first = runs.size();
    while (first > 0 && runs[first - 1].start + runs[first - 1].length > at)
        --first;
    if (removed > 0) {
        const qsizetype cutEnd = at + removed;
        for (std::size_t i = first; i < runs.size(); ++i) {
            Run& r = runs[i];
            const qsizetype end = r.start + r.length;
            const qsizetype overlap = std::max<qsizetype>(0, std::min(end, cutEnd) - std::max(r.start, at));
            r.start = r.start >= cutEnd ? r.start - removed : std::min(r.start, at);
            r.length -= overlap;
        }
        // Runs left empty go; neighbours of one format become one.
        std::size_t kept = first;
        for (std::size_t i = first; i < runs.size(); ++i) {
            if (runs[i].length == 0)
                continue;
            if (kept > 0 && runs[kept - 1].format == runs[i].format
                && runs[kept - 1].length <= INT_MAX - runs[i].length)
                runs[kept - 1].length += runs[i].length;
            else
                runs[kept++] = runs[i];
        }
        runs.resize(kept);
        first = std::min(first, runs.size());
        while (first > 0 && runs[first - 1].start + runs[first - 1].length > at)
            --first;
    }
    if (!inserted.isEmpty()) {
        // In the format of the character at `at`, or of the one before.
        const qsizetype n = inserted.size();
        if (first < runs.size() || !runs.empty()) {
            const std::size_t grows = first < runs.size() ? first : runs.size() - 1;
            runs[grows].length += int(n);
            for (std::size_t i = grows + 1; i < runs.size(); ++i)
                runs[i].start += n;
        } else {
            runs.push_back(Run{at, int(n), formatOf(Style{}, false)});
        }
    }
    doc_.text.replace(at, removed, inserted.data(), inserted.size());
    // Groups kept after the place move with the text; those in what went
    // stand where it was, but for those that stood for what went.
    for (auto a = doc_.anchors.rbegin(); a != doc_.anchors.rend() && a->at >= at; ++a) {
        if (a->at < at + removed && a->place == GroupAnchor::Place::Instead)
            a->group = -1;
        a->at = a->at >= at + removed ? a->at + inserted.size() - removed : at;
    }
}

} // namespace rtf::reading
