#pragma once
// A region as a set of non-overlapping rectangles; enough for clipping and hit tests.

#include "platform/base/geometry.h"

#include <vector>

constexpr int RGN_AND = 1;
constexpr int RGN_OR = 2;
constexpr int RGN_XOR = 3;
constexpr int RGN_DIFF = 4;
constexpr int RGN_COPY = 5;

constexpr int ERROR = 0;
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;
constexpr int COMPLEXREGION = 3;

class rectangle_set {
public:
    rectangle_set() = default;
    explicit rectangle_set(const RECT& rect);

    const std::vector<RECT>& rectangles() const { return rectangles_; }
    bool empty() const { return rectangles_.empty(); }
    bool contains(POINT point) const;
    bool intersects(const RECT& rect) const;
    RECT bounding_box() const;
    // NULLREGION, SIMPLEREGION or COMPLEXREGION.
    int kind() const;

    void add(const RECT& rect);
    void subtract(const RECT& rect);
    void intersect(const RECT& rect);
    void offset(int dx, int dy);

    static rectangle_set combine(const rectangle_set& first, const rectangle_set& second, int mode);

private:
    std::vector<RECT> rectangles_;
};
