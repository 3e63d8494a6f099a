#include "app/AppIcon.h"

#include "platform/base/dc.h"
#include "platform/base/gdi_objects.h"
#include "platform/base/icons.h"

namespace {

// One folder: a tab on the upper left and the body below it, in unit coordinates of a 32-pixel
// square scaled to size.
void draw_folder(CDC& dc, int size, int left, int top, COLORREF body, COLORREF tab)
{
    auto at = [size](int left_units, int top_units) {
        return POINT{left_units * size / 32, top_units * size / 32};
    };
    CPen outline(PS_SOLID, size >= 32 ? 2 : 1, RGB(110, 80, 20));
    CBrush tab_brush(tab);
    CBrush body_brush(body);
    CPen* old_pen = dc.SelectObject(&outline);
    CBrush* old_brush = dc.SelectObject(&tab_brush);
    const POINT tab_points[] = {at(left, top + 2), at(left + 2, top), at(left + 9, top), at(left + 11, top + 3),
                                at(left, top + 3)};
    dc.Polygon(tab_points, 5);
    dc.SelectObject(&body_brush);
    const POINT body_points[] = {at(left, top + 3), at(left + 22, top + 3), at(left + 22, top + 18), at(left, top + 18)};
    dc.Polygon(body_points, 4);
    dc.SelectObject(old_brush);
    dc.SelectObject(old_pen);
}

}  // namespace

void register_application_icon()
{
    platform::register_icon(IDR_MAINFRAME, [](CDC& dc, int size) {
        draw_folder(dc, size, 8, 3, RGB(214, 170, 60), RGB(190, 145, 45));
        draw_folder(dc, size, 2, 11, RGB(250, 214, 100), RGB(232, 190, 80));
    });
}
