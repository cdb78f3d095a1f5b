#include "RtfTableGrid.h"

#include <algorithm>
#include <cmath>

namespace rtf::reading {

namespace {

constexpr int kMostColumns = 64;
constexpr int kDefaultCellWidth = 1440; // an inch

using Rows = std::vector<std::vector<GridCell>>;

// Without merges: each cell not covered takes a column, the last of a row
// the rest of it, and the columns share the table's width evenly.
void layOutSimply(Table& table, const Rows& rows, int width)
{
    table.cells.clear();
    int columns = 1;
    for (const auto& row : rows) {
        const auto shown = std::count_if(row.begin(), row.end(),
                                         [](const GridCell& c) { return c.covered == GridCell::Covered::No; });
        columns = std::max(columns, int(shown));
    }
    int r = 0;
    for (const auto& row : rows) {
        const std::size_t first = table.cells.size();
        for (const GridCell& c : row) {
            if (c.covered == GridCell::Covered::No)
                table.cells.push_back(TableCell{r, int(table.cells.size() - first), 1, 1});
        }
        if (table.cells.size() == first)
            continue;
        table.cells.back().columnSpan = columns - table.cells.back().column;
        ++r;
    }
    table.rows = r;
    const int each = std::max(1, (width > 0 ? width : kDefaultCellWidth * columns) / columns);
    table.columnWidths.assign(std::size_t(columns), each);
}

} // namespace

void layOut(Table& table, const Rows& rows)
{
    std::vector<int> edges;
    std::size_t mostCells = 1;
    for (const auto& row : rows) {
        mostCells = std::max(mostCells, row.size());
        for (const GridCell& c : row) {
            edges.push_back(c.left);
            edges.push_back(c.right);
        }
    }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    const int left = edges.empty() ? 0 : edges.front();
    const int width = edges.empty() ? 0 : edges.back() - left;

    // The columns between the edges, or, where there are too many edges or
    // too few for the cells, columns of even width.
    const bool exact = edges.size() >= 2 && edges.size() - 1 >= mostCells && edges.size() - 1 <= kMostColumns;
    const std::size_t even = std::max(mostCells, std::min<std::size_t>(edges.size(), kMostColumns));
    const int columns = exact ? int(edges.size()) - 1 : int(std::clamp<std::size_t>(even, 1, kMostColumns));
    if (!exact && (width <= 0 || int(mostCells) > kMostColumns)) {
        layOutSimply(table, rows, width);
        return;
    }
    const auto column = [&](int edge) {
        if (exact)
            return int(std::lower_bound(edges.begin(), edges.end(), edge) - edges.begin());
        return int(std::lround(double(edge - left) * columns / width));
    };

    table.cells.clear();
    // The cell that holds each column of the row above, and of this row.
    std::vector<int> above(std::size_t(columns), -1);
    std::vector<int> here(std::size_t(columns), -1);
    int r = 0;
    for (const auto& row : rows) {
        std::fill(here.begin(), here.end(), -1);
        const int n = int(row.size());
        int start = 0;
        for (int i = 0; i < n; ++i) {
            const GridCell& c = row[std::size_t(i)];
            const int end = i + 1 == n ? columns : std::clamp(column(c.right), start + 1, columns - (n - 1 - i));
            int owner = -1;
            switch (c.covered) {
            case GridCell::Covered::No:
                owner = int(table.cells.size());
                table.cells.push_back(TableCell{r, start, 1, end - start});
                break;
            case GridCell::Covered::ByLeft:
                owner = start > 0 ? here[std::size_t(start - 1)] : -1;
                if (owner < 0 || table.cells[std::size_t(owner)].row != r) {
                    layOutSimply(table, rows, width);
                    return;
                }
                table.cells[std::size_t(owner)].columnSpan += end - start;
                break;
            case GridCell::Covered::ByAbove: {
                owner = above[std::size_t(start)];
                const TableCell* o = owner >= 0 ? &table.cells[std::size_t(owner)] : nullptr;
                if (!o || o->column != start || o->columnSpan != end - start || o->row + o->rowSpan != r) {
                    layOutSimply(table, rows, width);
                    return;
                }
                ++table.cells[std::size_t(owner)].rowSpan;
                break;
            }
            }
            std::fill(here.begin() + start, here.begin() + end, owner);
            start = end;
        }
        if (n == 0)
            continue;
        above.swap(here);
        ++r;
    }
    table.rows = r;
    table.columnWidths.clear();
    for (int k = 0; k < columns; ++k) {
        if (exact)
            table.columnWidths.push_back(edges[std::size_t(k) + 1] - edges[std::size_t(k)]);
        else
            table.columnWidths.push_back(std::max(1, width * (k + 1) / columns - width * k / columns));
    }
}

} // namespace rtf::reading
