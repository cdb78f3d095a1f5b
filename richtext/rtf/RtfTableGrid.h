#pragma once
// A table as the editor holds it, made from its rows as RTF gives them:
// each row's cells with their edges (\cellx), some of them merged into the
// cell on their left or above. The columns are all the edges of all rows,
// as word processors lay such a table out, so that a cell spans the
// columns between its edges.

#include "RtfBlocks.h"

#include <cstdint>
#include <vector>

namespace rtf::reading {

struct GridCell {
    enum class Covered : std::uint8_t { No, ByLeft, ByAbove };
    Covered covered = Covered::No;
    int left = 0; // twips
    int right = 0;
};

// Fills in the table's rows, columns and cells from `rows`. Its cells are
// the cells not covered, in order; every place of the grid is in exactly
// one of them. A row of covered cells only is left out.
void layOut(Table& table, const std::vector<std::vector<GridCell>>& rows);

} // namespace rtf::reading
