#include "grid/UGRedrawList.h"

#include <algorithm>

void CUGRedrawList::AddRange(int left, int top, int right, int bottom)
{
    if (m_ranges.empty()) {
        m_box = {left, top, right, bottom};
    } else {
        m_box.left = std::min(m_box.left, left);
        m_box.top = std::min(m_box.top, top);
        m_box.right = std::max(m_box.right, right);
        m_box.bottom = std::max(m_box.bottom, bottom);
    }
    m_ranges.push_back({left, top, right, bottom});
}

void CUGRedrawList::WidenFirstRange(int left, int top, int, int bottom)
{
    if (m_ranges.empty()) {
        AddRange(left, top, 0, bottom);
        return;
    }
    Range& first = m_ranges.front();
    first.left = std::min(first.left, left);
    first.top = std::min(first.top, top);
    first.bottom = std::max(first.bottom, bottom);
    first.right = std::max(first.right, 0);
    m_box.left = std::min(m_box.left, first.left);
    m_box.top = std::min(m_box.top, first.top);
    m_box.right = std::max(m_box.right, first.right);
    m_box.bottom = std::max(m_box.bottom, first.bottom);
}

void CUGRedrawList::Empty()
{
    m_ranges.clear();
    m_drawnJoins.clear();
    m_box = {};
}

bool CUGRedrawList::Contains(int col, int row) const
{
    if (m_ranges.empty() || col < m_box.left || col > m_box.right || row < m_box.top || row > m_box.bottom)
        return false;
    return std::any_of(m_ranges.begin(), m_ranges.end(), [col, row](const Range& range) {
        return col >= range.left && col <= range.right && row >= range.top && row <= range.bottom;
    });
}

bool CUGRedrawList::MarkJoinDrawn(int col, int row)
{
    for (const Cell& cell : m_drawnJoins)
        if (cell.col == col && cell.row == row)
            return false;
    m_drawnJoins.push_back({col, row});
    return true;
}
