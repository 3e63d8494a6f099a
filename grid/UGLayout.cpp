#include "grid/UGLayout.h"

#include "grid/UGGridInfo.h"

namespace {

// Sums sizes from index 0 until the sum exceeds the limit or the indexes end.
template <typename SizeOf>
long long total_until_beyond(int count, long long limit, SizeOf size_of)
{
    long long total = 0;
    for (int index = 0; index < count && total <= limit; ++index)
        total += size_of(index);
    return total;
}

}  // namespace

UGPartLayout UGComputePartLayout(const CUGGridInfo& sheet, int width, int height)
{
    UGPartLayout layout;
    int vScrollWidth = sheet.m_vScrollWidth;
    int hScrollHeight = sheet.m_hScrollHeight;
    int tabWidth = sheet.m_tabWidth;
    const int side = sheet.m_sideHdgWidth;
    const int top = sheet.m_topHdgHeight;

    const long long columnsTotal = total_until_beyond(sheet.m_numberCols, width - side,
                                                      [&](int col) { return UGColumnWidth(sheet, col); });
    const long long rowsTotal =
        total_until_beyond(sheet.m_numberRows, height - top, [&](int row) { return UGRowHeight(sheet, row); });

    int cellsWidth = width - side;
    int cellsHeight = height - top;
    if (tabWidth > 0 || columnsTotal > cellsWidth)
        cellsHeight -= hScrollHeight;
    if (rowsTotal > cellsHeight)
        cellsWidth -= vScrollWidth;
    if (columnsTotal <= cellsWidth && tabWidth <= 0)
        hScrollHeight = 0;
    if (rowsTotal <= cellsHeight)
        vScrollWidth = 0;

    if (tabWidth > 0 && columnsTotal <= cellsWidth)
        tabWidth = width + 6;
    else if (tabWidth > 0 && tabWidth >= cellsWidth - vScrollWidth)
        tabWidth = cellsWidth - vScrollWidth;

    layout.vScroll = {width - vScrollWidth, 0, width, height - hScrollHeight};
    layout.hScroll = {tabWidth, height - hScrollHeight, width - vScrollWidth, height};
    layout.tab = {0, height - hScrollHeight, tabWidth, height};
    layout.topHdg = {side, 0, width - vScrollWidth, top};
    layout.sideHdg = {0, top, side, height - hScrollHeight};
    layout.cnrBtn = {0, 0, side, top};
    layout.grid = {side, top, width - vScrollWidth, height - hScrollHeight};
    layout.vScrollWidth = vScrollWidth;
    layout.hScrollHeight = hScrollHeight;
    layout.tabWidth = tabWidth;
    return layout;
}

int UGColumnWidth(const CUGGridInfo& sheet, int col)
{
    if (col < 0 || col >= sheet.m_numberCols || sheet.m_colInfo == nullptr)
        return 0;
    return sheet.m_colInfo[col].width;
}

int UGRowHeight(const CUGGridInfo& sheet, int row)
{
    if (row < 0 || row >= sheet.m_numberRows)
        return 0;
    if (sheet.m_uniformRowHeightFlag != 0 || sheet.m_rowHeights == nullptr)
        return sheet.m_defRowHeight;
    return sheet.m_rowHeights[row];
}

int UGColumnLeft(const CUGGridInfo& sheet, int col)
{
    int left = 0;
    if (col < sheet.m_numLockCols) {
        for (int index = 0; index < col; ++index)
            left += UGColumnWidth(sheet, index);
        return left;
    }
    left = sheet.m_lockColWidth;
    for (int index = sheet.m_leftCol; index < col; ++index)
        left += UGColumnWidth(sheet, index);
    for (int index = col; index < sheet.m_leftCol; ++index)
        left -= UGColumnWidth(sheet, index);
    return left;
}

int UGRowTop(const CUGGridInfo& sheet, int row)
{
    int top = 0;
    if (row < sheet.m_numLockRows) {
        for (int index = 0; index < row; ++index)
            top += UGRowHeight(sheet, index);
        return top;
    }
    top = sheet.m_lockRowHeight;
    for (int index = sheet.m_topRow; index < row; ++index)
        top += UGRowHeight(sheet, index);
    for (int index = row; index < sheet.m_topRow; ++index)
        top -= UGRowHeight(sheet, index);
    return top;
}

int UGTopHeadingRowTop(const CUGGridInfo& sheet, int row)
{
    int top = 0;
    for (int index = sheet.m_numberTopHdgRows - 1; index > -row - 1 && index >= 0; --index)
        top += sheet.m_topHdgHeights[index];
    return top;
}

int UGSideHeadingColumnLeft(const CUGGridInfo& sheet, int col)
{
    int left = 0;
    for (int index = sheet.m_numberSideHdgCols - 1; index > -col - 1 && index >= 0; --index)
        left += sheet.m_sideHdgWidths[index];
    return left;
}
