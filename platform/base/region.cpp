#include "platform/base/region.h"

#include <algorithm>

namespace {

// The parts of `from` outside `cut`: at most four rectangles.
void append_difference(const RECT& from, const RECT& cut, std::vector<RECT>& out)
{
    RECT overlap{};
    if (!IntersectRect(&overlap, &from, &cut)) {
        out.push_back(from);
        return;
    }
    if (from.top < overlap.top)
        out.push_back(RECT{from.left, from.top, from.right, overlap.top});
    if (overlap.bottom < from.bottom)
        out.push_back(RECT{from.left, overlap.bottom, from.right, from.bottom});
    if (from.left < overlap.left)
        out.push_back(RECT{from.left, overlap.top, overlap.left, overlap.bottom});
    if (overlap.right < from.right)
        out.push_back(RECT{overlap.right, overlap.top, from.right, overlap.bottom});
}

}  // namespace

rectangle_set::rectangle_set(const RECT& rect)
{
    add(rect);
}

bool rectangle_set::contains(POINT point) const
{
    return std::any_of(rectangles_.begin(), rectangles_.end(),
                       [&](const RECT& rect) { return PtInRect(&rect, point) != 0; });
}

bool rectangle_set::intersects(const RECT& rect) const
{
    RECT overlap{};
    return std::any_of(rectangles_.begin(), rectangles_.end(),
                       [&](const RECT& own) { return IntersectRect(&overlap, &own, &rect) != 0; });
}

RECT rectangle_set::bounding_box() const
{
    RECT box{};
    for (const RECT& rect : rectangles_)
        UnionRect(&box, &box, &rect);
    return box;
}

int rectangle_set::kind() const
{
    if (rectangles_.empty())
        return NULLREGION;
    return rectangles_.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

void rectangle_set::add(const RECT& rect)
{
    if (IsRectEmpty(&rect))
        return;
    std::vector<RECT> pieces{rect};
    for (const RECT& own : rectangles_) {
        std::vector<RECT> remaining;
        for (const RECT& piece : pieces)
            append_difference(piece, own, remaining);
        pieces.swap(remaining);
    }
    rectangles_.insert(rectangles_.end(), pieces.begin(), pieces.end());
}

void rectangle_set::subtract(const RECT& rect)
{
    std::vector<RECT> remaining;
    for (const RECT& own : rectangles_)
        append_difference(own, rect, remaining);
    rectangles_.swap(remaining);
}

void rectangle_set::intersect(const RECT& rect)
{
    std::vector<RECT> remaining;
    for (const RECT& own : rectangles_) {
        RECT overlap{};
        if (IntersectRect(&overlap, &own, &rect))
            remaining.push_back(overlap);
    }
    rectangles_.swap(remaining);
}

void rectangle_set::offset(int dx, int dy)
{
    for (RECT& rect : rectangles_)
        OffsetRect(&rect, dx, dy);
}

rectangle_set rectangle_set::combine(const rectangle_set& first, const rectangle_set& second, int mode)
{
    rectangle_set result;
    switch (mode) {
    case RGN_AND:
        for (const RECT& own : first.rectangles_) {
            for (const RECT& other : second.rectangles_) {
                RECT overlap{};
                if (IntersectRect(&overlap, &own, &other))
                    result.rectangles_.push_back(overlap);
            }
        }
        break;
    case RGN_OR:
        result = first;
        for (const RECT& other : second.rectangles_)
            result.add(other);
        break;
    case RGN_DIFF:
        result = first;
        for (const RECT& other : second.rectangles_)
            result.subtract(other);
        break;
    case RGN_XOR: {
        rectangle_set only_first = combine(first, second, RGN_DIFF);
        rectangle_set only_second = combine(second, first, RGN_DIFF);
        result = combine(only_first, only_second, RGN_OR);
        break;
    }
    default:
        result = first;
        break;
    }
    return result;
}
