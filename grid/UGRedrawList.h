#pragma once
// The cell ranges a painting part still has to draw, with their bounding box, and the joined
// cells already drawn in the current pass. A paint draws only listed cells and empties both.

#include <vector>

class CUGRedrawList {
public:
    struct Range {
        int left = 0;
        int top = 0;
        int right = 0;
        int bottom = 0;
    };

    void AddRange(int left, int top, int right, int bottom);
    // Widens the first range instead of appending (the side heading repaints whole rows).
    void WidenFirstRange(int left, int top, int right, int bottom);
    void Empty();

    bool IsEmpty() const { return m_ranges.empty(); }
    bool Contains(int col, int row) const;
    const std::vector<Range>& GetRanges() const { return m_ranges; }
    const Range& GetBoundingBox() const { return m_box; }

    // Joined-cell origins drawn in the current pass; false when the origin was drawn already.
    bool MarkJoinDrawn(int col, int row);

private:
    struct Cell {
        int col = 0;
        int row = 0;
    };

    std::vector<Range> m_ranges;
    Range m_box;
    std::vector<Cell> m_drawnJoins;
};
