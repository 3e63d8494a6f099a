#include "grid/UGCellHeading.h"

#include "grid/UGCellType.h"
#include "grid/UGCtrl.h"
#include "grid/UGGrid.h"
#include "grid/UGGridInfo.h"
#include "grid/UGLayout.h"

#include "platform/base/dc.h"
#include "platform/base/gdi_objects.h"

#include <algorithm>

CUGCellHeading::CUGCellHeading(int section, bool alongColumns) : CUGHeadingBase(section), m_alongColumns(alongColumns)
{
}

CUGCellHeading::~CUGCellHeading() { m_drawHint.Empty(); }

void CUGCellHeading::CellOf(int along, int across, int* col, int* row) const
{
    *col = m_alongColumns ? along : across;
    *row = m_alongColumns ? across : along;
}

RECT CUGCellHeading::RectOf(int alongStart, int alongEnd, int acrossStart, int acrossEnd) const
{
    if (m_alongColumns)
        return RECT{alongStart, acrossStart, alongEnd, acrossEnd};
    return RECT{acrossStart, alongStart, acrossEnd, alongEnd};
}

int CUGCellHeading::AlongCount() const { return m_alongColumns ? m_GI->m_numberCols : m_GI->m_numberRows; }

int CUGCellHeading::AlongSize(int index) const
{
    return m_alongColumns ? UGColumnWidth(*m_GI, index) : UGRowHeight(*m_GI, index);
}

int* CUGCellHeading::AcrossSizes() const { return m_alongColumns ? m_GI->m_topHdgHeights : m_GI->m_sideHdgWidths; }

int CUGCellHeading::AcrossCount() const
{
    return m_alongColumns ? m_GI->m_numberTopHdgRows : m_GI->m_numberSideHdgCols;
}

int& CUGCellHeading::AcrossTotal() const { return m_alongColumns ? m_GI->m_topHdgHeight : m_GI->m_sideHdgWidth; }

void CUGCellHeading::WalkAlong(const std::function<bool(int, int, int, int)>& visit) const
{
    const int locked = m_alongColumns ? m_GI->m_numLockCols : m_GI->m_numLockRows;
    const int first = std::max(m_alongColumns ? m_GI->m_leftCol : m_GI->m_topRow, locked);
    const int limit = m_alongColumns ? m_GI->m_gridWidth : m_GI->m_gridHeight;
    const int count = AlongCount();
    int end = 0;
    int walked = 0;
    auto step = [&](int index) {
        const int start = end;
        end += AlongSize(index);
        ++walked;
        return visit(index, start, end, walked) || end > limit;
    };
    for (int index = 0; index < locked && index < count; ++index)
        if (step(index))
            return;
    for (int index = first; index < count; ++index)
        if (step(index))
            return;
}

void CUGCellHeading::Update()
{
    if (m_GI != nullptr && AcrossCount() > 0) {
        int* sizes = AcrossSizes();
        const int last = AcrossCount() - 1;
        int others = 0;
        for (int index = 0; index < last; ++index)
            others += sizes[index];
        const int size = AcrossTotal() - others > 0 ? AcrossTotal() - others : 0;
        if (size <= 1024 && size != sizes[last]) {
            sizes[last] = size;
            if (AcrossCount() == 1)
                AcrossTotal() = size;
        }
    }
    InvalidateRect(nullptr, TRUE);
    UpdateWindow();
}

bool CUGCellHeading::IsHeadingCell(const int* col, const int* row, const RECT* rect) const
{
    if (m_GI == nullptr || col == nullptr || row == nullptr || rect == nullptr)
        return false;
    const int across = m_alongColumns ? *row : *col;
    return across < 0 && -across <= AcrossCount();
}

int CUGCellHeading::GetCellFromPoint(int x, int y, int* col, int* row, RECT* rect) const
{
    *col = -1;
    *row = -1;
    if (m_GI == nullptr)
        return 1;
    const CPoint point(x, y);
    int foundAlong = -1, alongStart = 0, alongEnd = 0;
    WalkAlong([&](int index, int start, int end, int) {
        if (Along(point) < start || Along(point) >= end)
            return false;
        foundAlong = index;
        alongStart = start;
        alongEnd = end;
        return true;
    });
    // The heading's own rows (columns) from the farthest, -count, to -1 next to the cells.
    int foundAcross = 0, acrossStart = 0, acrossEnd = 0;
    for (int across = -AcrossCount(); across <= -1 && foundAcross == 0; ++across) {
        acrossStart = acrossEnd;
        acrossEnd += AcrossSizes()[-across - 1];
        if (Across(point) >= acrossStart && Across(point) < acrossEnd)
            foundAcross = across;
    }
    if (foundAlong < 0 || foundAcross == 0)
        return 1;
    CellOf(foundAlong, foundAcross, col, row);
    if (rect != nullptr)
        *rect = RectOf(alongStart, alongEnd, acrossStart, acrossEnd);
    return 0;
}

bool CUGCellHeading::CellAt(CPoint point, int* col, int* row, RECT* rect) const
{
    return GetCellFromPoint(point.x, point.y, col, row, rect) == 0;
}

bool CUGCellHeading::JoinedRange(int col, int row, int* originCol, int* originRow, int* lastCol, int* lastRow)
{
    const int along = m_alongColumns ? col : row;
    if (along < 0 || along >= AlongCount())
        return false;
    int joinedOriginCol = 0, joinedOriginRow = 0, joinedLastCol = 0, joinedLastRow = 0;
    if (!m_ctrl->JoinedRangeOf(col, row, &joinedOriginCol, &joinedOriginRow, &joinedLastCol, &joinedLastRow))
        return false;
    int originAlong = 0, originAcross = 0, lastAlong = 0, lastAcross = 0;
    CellOf(joinedOriginCol, joinedOriginRow, &originAlong, &originAcross);
    CellOf(joinedLastCol, joinedLastRow, &lastAlong, &lastAcross);
    // A range reaching outside the heading is cut to it rather than read past the arrays.
    const int farthestAlong = std::max(0, AlongCount() - 1);
    const int spanAlong = lastAlong - originAlong;
    const int spanAcross = lastAcross - originAcross;
    originAlong = std::clamp(originAlong, 0, farthestAlong);
    originAcross = std::clamp(originAcross, -AcrossCount(), -1);
    lastAlong = std::clamp(originAlong + spanAlong, originAlong, farthestAlong);
    lastAcross = std::clamp(originAcross + spanAcross, originAcross, -1);
    CellOf(originAlong, originAcross, originCol, originRow);
    CellOf(lastAlong, lastAcross, lastCol, lastRow);
    return true;
}

RECT CUGCellHeading::RangeRect(int originCol, int originRow, int lastCol, int lastRow) const
{
    int originAlong = 0, originAcross = 0, lastAlong = 0, lastAcross = 0;
    CellOf(originCol, originRow, &originAlong, &originAcross);
    CellOf(lastCol, lastRow, &lastAlong, &lastAcross);
    const int alongStart = m_alongColumns ? UGColumnLeft(*m_GI, originAlong) : UGRowTop(*m_GI, originAlong);
    int alongEnd = alongStart;
    for (int along = originAlong; along <= lastAlong; ++along)
        alongEnd += AlongSize(along);
    const int acrossStart = m_alongColumns ? UGTopHeadingRowTop(*m_GI, originAcross)
                                           : UGSideHeadingColumnLeft(*m_GI, originAcross);
    int acrossEnd = acrossStart;
    for (int across = originAcross; across <= lastAcross; ++across)
        acrossEnd += AcrossSizes()[-across - 1];
    return RectOf(alongStart, alongEnd, acrossStart, acrossEnd);
}

void CUGCellHeading::DrawAll(CDC* dc)
{
    int firstCol = 0, firstRow = 0, lastCol = 0, lastRow = 0;
    CellOf(0, -AcrossCount(), &firstCol, &firstRow);
    CellOf(AlongCount(), 0, &lastCol, &lastRow);
    m_drawHint.AddRange(firstCol, firstRow, lastCol, lastRow);
    DrawCellsIntern(dc);
    m_drawHint.Empty();
}

void CUGCellHeading::DrawCellsIntern(CDC* dc)
{
    if (m_ctrl == nullptr || m_GI == nullptr || dc == nullptr)
        return;
    m_ctrl->OnSectionPaintStart(dc, nullptr, Section());
    CFont* oldFont = m_GI->m_defFont != nullptr ? dc->SelectObject(m_GI->m_defFont) : nullptr;

    int drawnEnd = 0;
    WalkAlong([&](int along, int start, int end, int) {
        drawnEnd = end;
        m_lastDrawn = along;
        for (int across = -AcrossCount(); across <= -1; ++across) {
            int col = 0, row = 0;
            CellOf(along, across, &col, &row);
            if (!m_drawHint.Contains(col, row))
                continue;
            const int acrossStart = m_alongColumns ? UGTopHeadingRowTop(*m_GI, across)
                                                   : UGSideHeadingColumnLeft(*m_GI, across);
            RECT rect = RectOf(start, end, acrossStart, acrossStart + AcrossSizes()[-across - 1]);
            int lastCol = 0, lastRow = 0;
            if (m_GI->m_enableJoins != 0 && JoinedRange(col, row, &col, &row, &lastCol, &lastRow)) {
                if (!m_drawHint.MarkJoinDrawn(col, row))
                    continue;
                rect = RangeRect(col, row, lastCol, lastRow);
            }
            if (rect.right <= rect.left || rect.bottom <= rect.top)
                continue;
            m_cell.ResetProperties();
            m_ctrl->GetCell(col, row, &m_cell);
            CUGCellType* type = m_ctrl->GetCellTypeAt(col, row);
            const int saved = dc->SaveDC();
            type->OnDraw(dc, &rect, col, row, &m_cell, 0, 0);
            dc->RestoreDC(saved);
        }
        return false;
    });

    // The rest of the strip past the last cell, up to the heading's own height (width).
    CRect client;
    GetClientRect(&client);
    const int limit = m_alongColumns ? m_GI->m_gridWidth : m_GI->m_gridHeight;
    const int stripEnd = std::max(limit, static_cast<int>(m_alongColumns ? client.right : client.bottom));
    if (drawnEnd < stripEnd) {
        CBrush brush(m_ctrl->GetSectionBackColor(Section()));
        const RECT rest = RectOf(drawnEnd, stripEnd, 0, AcrossTotal());
        dc->FillRect(&rest, &brush);
    }
    if (oldFont != nullptr)
        dc->SelectObject(oldFont);
}

int CUGCellHeading::EdgeAlongAt(int pos, int* next, int* walked) const
{
    int sized = -1;
    int after = -1;
    int passed = 0;
    WalkAlong([&](int index, int, int edge, int count) {
        if (pos <= edge - 3 || pos >= edge + 3)
            return false;
        after = index + 1;
        if (index == (m_alongColumns ? m_GI->m_numLockCols : m_GI->m_numLockRows) - 1)
            after = std::max(m_alongColumns ? m_GI->m_leftCol : m_GI->m_topRow, index + 1);
        if (after >= AlongCount())
            after = -1;
        sized = after >= 0 && AlongSize(after) == 0 ? after : index;
        passed = count;
        return true;
    });
    if (next != nullptr)
        *next = after;
    if (walked != nullptr)
        *walked = passed;
    return sized;
}

void CUGCellHeading::OfferEdgeAlong(int index, CPoint point)
{
    m_canSize = 1;
    m_colOrRowSizing = m_alongColumns ? 0 : 1;
    m_sizingColRow = index;
    m_sizingStartSize = AlongSize(index);
    m_sizingStartPos = Along(point);
    SetCursorTo(SizingCursor());
}

bool CUGCellHeading::HitTestEdgesAcross(CPoint point)
{
    // From the edge next to the cells outward.
    int edge = AcrossTotal();
    for (int index = 0; index < AcrossCount(); ++index) {
        if (Across(point) > edge - 3 && Across(point) < edge + 3) {
            const int allowed =
                m_alongColumns ? m_ctrl->AllowTopHeadingSizing() : m_ctrl->AllowSideHeadingSizing();
            if (allowed == 0)
                return false;
            m_canSize = 1;
            m_colOrRowSizing = m_alongColumns ? 1 : 0;
            m_sizingColRow = -(index + 1);
            m_sizingStartSize = AcrossSizes()[index];
            m_sizingStartPos = Across(point);
            m_sizingStartTotal = AcrossTotal();
            SetCursorTo(SizingCursor());
            return true;
        }
        edge -= AcrossSizes()[index];
    }
    return false;
}

void CUGCellHeading::TellVisibleCellTypes(int index, int* size, void (CUGCellType::*call)(int, long, int*))
{
    if (m_alongColumns) {
        for (int row = m_GI->m_topRow; row < m_GI->m_bottomRow; ++row)
            (m_ctrl->GetCellTypeAt(index, row)->*call)(index, row, size);
    } else {
        for (int col = m_GI->m_leftCol; col < m_GI->m_rightCol; ++col)
            (m_ctrl->GetCellTypeAt(col, index)->*call)(col, index, size);
    }
}

void CUGCellHeading::DragStarted(CPoint) { m_focusRect = {-1, -1, -1, -1}; }

void CUGCellHeading::DragEdgeTo(CPoint point)
{
    if (!IsSizingAlong()) {
        SizeAcrossTo(Across(point));
        return;
    }
    const int marker = SizeAlongTo(Along(point));
    Update();
    MoveMarker(marker);
}

void CUGCellHeading::SizeAcrossTo(int pos)
{
    const int index = -m_sizingColRow - 1;
    const int size = std::max(0, m_sizingStartSize - m_sizingStartPos + pos);
    AcrossSizes()[index] = size;
    int total = std::max(0, m_sizingStartTotal - m_sizingStartPos + pos);
    if (!SizingAcross(&total, size))
        return;
    AcrossTotal() = total;
    m_ctrl->RecalcPartLayout();
}

void CUGCellHeading::MoveMarker(int pos)
{
    CUGGrid* cells = m_ctrl->m_CUGGrid;
    if (cells == nullptr || cells->GetSafeHwnd() == nullptr)
        return;
    CDC* dc = cells->GetDC();
    if (m_focusRect.left != -1)
        dc->DrawFocusRect(&m_focusRect);
    m_focusRect = RectOf(pos - 1, pos + 1, 0, m_alongColumns ? m_GI->m_gridHeight : m_GI->m_gridWidth);
    if (pos >= 0)
        dc->DrawFocusRect(&m_focusRect);
    else
        m_focusRect = {-1, -1, -1, -1};
    cells->ReleaseDC(dc);
}

void CUGCellHeading::DragEnded(CPoint)
{
    if (IsSizingAlong()) {
        // The marker is taken away before the cells repaint under it.
        MoveMarker(-1);
        SizedAlong();
    } else if (m_alongColumns) {
        m_ctrl->OnTopHeadingSized(&AcrossTotal());
    } else {
        m_ctrl->OnSideHeadingSized(&AcrossTotal());
    }
    m_ctrl->RecalcPartLayout();
}
