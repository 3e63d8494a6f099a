#include "platform/wx/wx_surface.h"

#include "platform/base/dc.h"
#include "platform/wx/text_extent_cache.h"
#include "platform/wx/wx_convert.h"

#include <wx/graphics.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace platform {

namespace {

// Dash patterns of cosmetic pens: on, off, on, off ... pixels.
std::vector<int> dash_pattern(int style)
{
    switch (style) {
    case PS_DASH:
        return {18, 6};
    case PS_DOT:
        return {3, 3};
    case PS_DASHDOT:
        return {9, 6, 3, 6};
    case PS_DASHDOTDOT:
        return {9, 3, 3, 3, 3, 3};
    default:
        return {};
    }
}

std::uint32_t packed(unsigned char red, unsigned char green, unsigned char blue)
{
    return (static_cast<std::uint32_t>(red) << 16) | (static_cast<std::uint32_t>(green) << 8) | blue;
}

}  // namespace

wxDC& measuring_dc()
{
    static wxBitmap bitmap(1, 1, 24);
    static wxMemoryDC dc(bitmap);
    return dc;
}

wx_surface::wx_surface(wxBitmap* bitmap, wxPoint origin, wxSize client)
    : bitmap_(bitmap), origin_(origin), client_(client)
{
}

wx_surface::~wx_surface()
{
    release();
}

CSize wx_surface::size() const
{
    return CSize(client_.GetWidth(), client_.GetHeight());
}

void wx_surface::select_bitmap(CBitmap* bitmap)
{
    release();
    if (!bitmap) {
        bitmap_ = nullptr;
        client_ = wxSize(0, 0);
        return;
    }
    bitmap_ = &to_wx(*bitmap);
    origin_ = wxPoint(0, 0);
    client_ = bitmap_->GetSize();
}

void wx_surface::release()
{
    dc_.reset();
}

void wx_surface::flush()
{
    release();
}

wxDC* wx_surface::dc()
{
    if (!bitmap_ || !bitmap_->IsOk())
        return nullptr;
    if (!dc_) {
        dc_ = std::make_unique<wxMemoryDC>(*bitmap_);
        if (wxGraphicsContext* context = dc_->GetGraphicsContext())
            context->SetAntialiasMode(wxANTIALIAS_NONE);
        dc_->SetDeviceOrigin(origin_.x, origin_.y);
        apply_clip();
    }
    return dc_.get();
}

void* wx_surface::native()
{
    return dc();
}

std::vector<wxRect> wx_surface::visible_parts(const RECT& rect) const
{
    std::vector<wxRect> parts;
    rectangle_set area(RECT{0, 0, client_.GetWidth(), client_.GetHeight()});
    area.intersect(rect);
    if (clipped_)
        area = rectangle_set::combine(area, clip_, RGN_AND);
    for (const RECT& part : area.rectangles())
        parts.emplace_back(part.left + origin_.x, part.top + origin_.y, part.right - part.left, part.bottom - part.top);
    return parts;
}

void wx_surface::set_clip(const rectangle_set* clip)
{
    clipped_ = clip != nullptr;
    clip_ = clip ? *clip : rectangle_set();
    if (dc_)
        apply_clip();
}

void wx_surface::apply_clip()
{
    wxRegion region;
    for (const wxRect& part : visible_parts(RECT{0, 0, client_.GetWidth(), client_.GetHeight()}))
        region.Union(part);
    // An empty region would mean no clipping at all to the toolkit.
    if (region.IsEmpty())
        region = wxRegion(wxRect(-10, -10, 1, 1));
    dc_->DestroyClippingRegion();
    dc_->SetDeviceClippingRegion(region);
}

void wx_surface::with_pixels(const std::function<void(wxNativePixelData&)>& work)
{
    if (!bitmap_ || !bitmap_->IsOk())
        return;
    release();
    wxNativePixelData data(*bitmap_);
    if (data)
        work(data);
}

void wx_surface::fill_solid(const RECT& rect, const wxBrush& brush)
{
    wxDC* target = dc();
    if (!target || IsRectEmpty(&rect))
        return;
    target->SetPen(*wxTRANSPARENT_PEN);
    target->SetBrush(brush);
    target->DrawRectangle(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

void wx_surface::fill(const RECT& rect, const CBrush& brush)
{
    if (brush.is_null())
        return;
    fill_solid(rect, to_wx(brush));
}

void wx_surface::pattern_line(POINT from, POINT to, const CPen& pen)
{
    const int width = std::max(1, pen.width());
    const wxBrush colour(to_wx(pen.colour()));
    const std::vector<int> pattern = dash_pattern(pen.style());
    const int dx = to.x - from.x;
    const int dy = to.y - from.y;
    const int steps = std::max(std::abs(dx), std::abs(dy));
    const int half = width / 2;
    size_t segment = 0;
    int left_in_segment = pattern.empty() ? 0 : pattern[0] * width;
    // Axis-aligned runs become rectangles; the end point is left out as lines do.
    for (int step = 0; step < steps;) {
        int run = 1;
        if (!pattern.empty())
            run = std::min(left_in_segment, steps - step);
        else if (dx == 0 || dy == 0)
            run = steps;
        const bool drawn = pattern.empty() || segment % 2 == 0;
        if (drawn) {
            if (dy == 0) {
                const int x = dx > 0 ? from.x + step : from.x - step - run + 1;
                fill_solid(RECT{x, from.y - half, x + run, from.y - half + width}, colour);
            } else if (dx == 0) {
                const int y = dy > 0 ? from.y + step : from.y - step - run + 1;
                fill_solid(RECT{from.x - half, y, from.x - half + width, y + run}, colour);
            } else {
                for (int pixel = 0; pixel < run; ++pixel) {
                    const int x = from.x + static_cast<int>(std::lround(static_cast<double>(dx) * (step + pixel) / steps));
                    const int y = from.y + static_cast<int>(std::lround(static_cast<double>(dy) * (step + pixel) / steps));
                    fill_solid(RECT{x - half, y - half, x - half + width, y - half + width}, colour);
                }
            }
        }
        step += run;
        if (!pattern.empty()) {
            left_in_segment -= run;
            if (left_in_segment <= 0) {
                segment = (segment + 1) % pattern.size();
                left_in_segment = pattern[segment] * width;
            }
        }
    }
}

void wx_surface::line(POINT from, POINT to, const CPen& pen)
{
    if (pen.style() == PS_NULL)
        return;
    pattern_line(from, to, pen);
}

void wx_surface::rectangle(const RECT& rect, const CPen* pen, const CBrush* brush)
{
    const bool outlined = pen && pen->style() != PS_NULL;
    if (brush && !brush->is_null()) {
        RECT inside = rect;
        if (outlined)
            InflateRect(&inside, -1, -1);
        else {
            inside.right -= 1;
            inside.bottom -= 1;
        }
        fill(inside, *brush);
    }
    if (outlined) {
        line(POINT{rect.left, rect.top}, POINT{rect.right - 1, rect.top}, *pen);
        line(POINT{rect.right - 1, rect.top}, POINT{rect.right - 1, rect.bottom - 1}, *pen);
        line(POINT{rect.right - 1, rect.bottom - 1}, POINT{rect.left, rect.bottom - 1}, *pen);
        line(POINT{rect.left, rect.bottom - 1}, POINT{rect.left, rect.top}, *pen);
    }
}

void wx_surface::ellipse(const RECT& rect, const CPen* pen, const CBrush* brush)
{
    wxDC* target = dc();
    if (!target)
        return;
    target->SetPen(pen && pen->style() != PS_NULL ? wxPen(to_wx(pen->colour()), std::max(1, pen->width()))
                                                  : *wxTRANSPARENT_PEN);
    target->SetBrush(brush ? to_wx(*brush) : *wxTRANSPARENT_BRUSH);
    target->DrawEllipse(rect.left, rect.top, rect.right - rect.left - 1, rect.bottom - rect.top - 1);
}

void wx_surface::arc(const RECT& box, POINT start, POINT end, const CPen& pen)
{
    wxDC* target = dc();
    if (!target || pen.style() == PS_NULL)
        return;
    const double cx = (box.left + box.right) / 2.0;
    const double cy = (box.top + box.bottom) / 2.0;
    const double pi = 3.14159265358979323846;
    double start_angle = std::atan2(cy - start.y, start.x - cx) * 180.0 / pi;
    double end_angle = std::atan2(cy - end.y, end.x - cx) * 180.0 / pi;
    // Equal start and end points draw the whole ellipse.
    if (start.x == end.x && start.y == end.y)
        end_angle = start_angle + 360.0;
    target->SetPen(wxPen(to_wx(pen.colour()), std::max(1, pen.width())));
    target->SetBrush(*wxTRANSPARENT_BRUSH);
    target->DrawEllipticArc(box.left, box.top, box.right - box.left - 1, box.bottom - box.top - 1, start_angle,
                            end_angle);
}

void wx_surface::polygon(const POINT* points, int count, const CPen* pen, const CBrush* brush)
{
    wxDC* target = dc();
    if (!target || count < 2)
        return;
    std::vector<wxPoint> corners;
    for (int index = 0; index < count; ++index)
        corners.emplace_back(points[index].x, points[index].y);
    target->SetPen(pen && pen->style() != PS_NULL ? wxPen(to_wx(pen->colour()), std::max(1, pen->width()))
                                                  : *wxTRANSPARENT_PEN);
    target->SetBrush(brush ? to_wx(*brush) : *wxTRANSPARENT_BRUSH);
    target->DrawPolygon(static_cast<int>(corners.size()), corners.data());
}

void wx_surface::text(int x, int y, const char* text, int length, const LOGFONTA& font, COLORREF colour,
                      const COLORREF* back)
{
    wxDC* target = dc();
    if (!target || length <= 0)
        return;
    const wxString shown = wxString::FromUTF8(text, static_cast<size_t>(length));
    target->SetFont(to_wx(font));
    if (back) {
        wxCoord width = 0;
        wxCoord height = 0;
        target->GetTextExtent(shown, &width, &height);
        fill_solid(RECT{x, y, x + width, y + height}, wxBrush(to_wx(*back)));
    }
    target->SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    target->SetTextForeground(to_wx(colour));
    // The toolkit's DC shapes every text a second time to grow a bounding box nobody reads; its
    // context, which has the DC's font, colour, origin and clip, draws it once.
    if (wxGraphicsContext* context = target->GetGraphicsContext())
        context->DrawText(shown, x, y);
    else
        target->DrawText(shown, x, y);
}

CSize wx_surface::text_extent(const LOGFONTA& font, const char* text, int length)
{
    return text_extent_cache::shared().find_or_measure(font, text, length,
                                                       [&] { return measure_text(font, text, length); });
}

CSize wx_surface::measure_text(const LOGFONTA& font, const char* text, int length)
{
    wxDC* target = dc();
    wxDC& measuring = target ? *target : measuring_dc();
    measuring.SetFont(to_wx(font));
    wxCoord width = 0;
    wxCoord height = 0;
    measuring.GetTextExtent(wxString::FromUTF8(text, static_cast<size_t>(std::max(0, length))), &width, &height);
    if (length <= 0)
        height = measuring.GetCharHeight();
    return CSize(width, height);
}

void wx_surface::metrics(const LOGFONTA& font, TEXTMETRICA& metrics)
{
    wxDC* target = dc();
    wxDC& measuring = target ? *target : measuring_dc();
    measuring.SetFont(to_wx(font));
    const wxFontMetrics found = measuring.GetFontMetrics();
    metrics.tmHeight = found.height;
    metrics.tmAscent = found.ascent;
    metrics.tmDescent = found.descent;
    metrics.tmInternalLeading = found.internalLeading;
    metrics.tmExternalLeading = found.externalLeading;
    metrics.tmAveCharWidth = found.averageWidth;
    metrics.tmMaxCharWidth = measuring.GetTextExtent("W").GetWidth();
    metrics.tmWeight = font.lfWeight;
    metrics.tmItalic = font.lfItalic;
    metrics.tmUnderlined = font.lfUnderline;
}

void wx_surface::invert(const RECT& rect)
{
    const std::vector<wxRect> parts = visible_parts(rect);
    if (parts.empty())
        return;
    with_pixels([&](wxNativePixelData& data) {
        wxNativePixelData::Iterator pixel(data);
        for (const wxRect& part : parts) {
            for (int y = part.y; y < part.y + part.height; ++y) {
                pixel.MoveTo(data, part.x, y);
                for (int x = 0; x < part.width; ++x, ++pixel) {
                    pixel.Red() = static_cast<unsigned char>(~pixel.Red());
                    pixel.Green() = static_cast<unsigned char>(~pixel.Green());
                    pixel.Blue() = static_cast<unsigned char>(~pixel.Blue());
                }
            }
        }
    });
}

void wx_surface::invert_dotted_frame(const RECT& rect)
{
    // Every other pixel of the frame, chosen by its position, so the same frame drawn again
    // inverts the same pixels back.
    std::vector<wxRect> parts;
    const RECT sides[] = {{rect.left, rect.top, rect.right, rect.top + 1},
                          {rect.left, rect.bottom - 1, rect.right, rect.bottom},
                          {rect.left, rect.top + 1, rect.left + 1, rect.bottom - 1},
                          {rect.right - 1, rect.top + 1, rect.right, rect.bottom - 1}};
    for (const RECT& side : sides) {
        if (IsRectEmpty(&side))
            continue;
        for (const wxRect& part : visible_parts(side))
            parts.push_back(part);
    }
    if (parts.empty())
        return;
    const int origin_x = origin_.x;
    const int origin_y = origin_.y;
    with_pixels([&](wxNativePixelData& data) {
        wxNativePixelData::Iterator pixel(data);
        for (const wxRect& part : parts) {
            for (int y = part.y; y < part.y + part.height; ++y) {
                for (int x = part.x; x < part.x + part.width; ++x) {
                    if (((x - origin_x) + (y - origin_y)) % 2 != 0)
                        continue;
                    pixel.MoveTo(data, x, y);
                    pixel.Red() = static_cast<unsigned char>(~pixel.Red());
                    pixel.Green() = static_cast<unsigned char>(~pixel.Green());
                    pixel.Blue() = static_cast<unsigned char>(~pixel.Blue());
                }
            }
        }
    });
}

std::vector<std::uint32_t> wx_surface::read_pixels(const RECT& rect)
{
    const int width = std::max(0, static_cast<int>(rect.right - rect.left));
    const int height = std::max(0, static_cast<int>(rect.bottom - rect.top));
    std::vector<std::uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    if (!bitmap_ || pixels.empty())
        return pixels;
    const wxSize full = bitmap_->GetSize();
    with_pixels([&](wxNativePixelData& data) {
        wxNativePixelData::Iterator pixel(data);
        for (int y = 0; y < height; ++y) {
            const int bitmap_y = rect.top + y + origin_.y;
            if (bitmap_y < 0 || bitmap_y >= full.GetHeight())
                continue;
            for (int x = 0; x < width; ++x) {
                const int bitmap_x = rect.left + x + origin_.x;
                if (bitmap_x < 0 || bitmap_x >= full.GetWidth())
                    continue;
                pixel.MoveTo(data, bitmap_x, bitmap_y);
                pixels[static_cast<size_t>(y * width + x)] = packed(pixel.Red(), pixel.Green(), pixel.Blue());
            }
        }
    });
    return pixels;
}

bool wx_surface::blit(const RECT& target, dc_surface& source, const RECT& source_rect, DWORD operation)
{
    auto* from = dynamic_cast<wx_surface*>(&source);
    if (!from || !from->bitmap_ || !bitmap_)
        return false;
    const int width = target.right - target.left;
    const int height = target.bottom - target.top;
    const int source_width = source_rect.right - source_rect.left;
    const int source_height = source_rect.bottom - source_rect.top;
    if (width <= 0 || height <= 0 || source_width <= 0 || source_height <= 0)
        return true;
    const std::vector<std::uint32_t> pixels = from->read_pixels(source_rect);
    const std::vector<wxRect> parts = visible_parts(target);
    with_pixels([&](wxNativePixelData& data) {
        wxNativePixelData::Iterator pixel(data);
        for (const wxRect& part : parts) {
            for (int y = part.y; y < part.y + part.height; ++y) {
                const int source_y = (y - origin_.y - target.top) * source_height / height;
                pixel.MoveTo(data, part.x, y);
                for (int x = part.x; x < part.x + part.width; ++x, ++pixel) {
                    const int source_x = (x - origin_.x - target.left) * source_width / width;
                    const std::uint32_t value = pixels[static_cast<size_t>(source_y * source_width + source_x)];
                    const unsigned char red = static_cast<unsigned char>((value >> 16) & 0xFF);
                    const unsigned char green = static_cast<unsigned char>((value >> 8) & 0xFF);
                    const unsigned char blue = static_cast<unsigned char>(value & 0xFF);
                    switch (operation) {
                    case SRCINVERT:
                        pixel.Red() ^= red;
                        pixel.Green() ^= green;
                        pixel.Blue() ^= blue;
                        break;
                    case SRCAND:
                        pixel.Red() &= red;
                        pixel.Green() &= green;
                        pixel.Blue() &= blue;
                        break;
                    case SRCPAINT:
                        pixel.Red() |= red;
                        pixel.Green() |= green;
                        pixel.Blue() |= blue;
                        break;
                    case NOTSRCCOPY:
                        pixel.Red() = static_cast<unsigned char>(~red);
                        pixel.Green() = static_cast<unsigned char>(~green);
                        pixel.Blue() = static_cast<unsigned char>(~blue);
                        break;
                    default:
                        pixel.Red() = red;
                        pixel.Green() = green;
                        pixel.Blue() = blue;
                        break;
                    }
                }
            }
        }
    });
    return true;
}

COLORREF wx_surface::pixel(int x, int y)
{
    const std::vector<std::uint32_t> one = read_pixels(RECT{x, y, x + 1, y + 1});
    const std::uint32_t value = one.empty() ? 0 : one[0];
    return RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
}

void wx_surface::set_pixel(int x, int y, COLORREF colour)
{
    fill_solid(RECT{x, y, x + 1, y + 1}, wxBrush(to_wx(colour)));
}

void wx_surface::scroll(const RECT& area, int dx, int dy)
{
    const std::vector<std::uint32_t> pixels = read_pixels(area);
    const int width = area.right - area.left;
    RECT moved = area;
    OffsetRect(&moved, dx, dy);
    RECT target{};
    if (!IntersectRect(&target, &moved, &area))
        return;
    const int clip_width = client_.GetWidth();
    const int clip_height = client_.GetHeight();
    with_pixels([&](wxNativePixelData& data) {
        wxNativePixelData::Iterator pixel(data);
        for (int y = target.top; y < target.bottom; ++y) {
            if (y < 0 || y >= clip_height)
                continue;
            for (int x = target.left; x < target.right; ++x) {
                if (x < 0 || x >= clip_width)
                    continue;
                const std::uint32_t value =
                    pixels[static_cast<size_t>((y - dy - area.top) * width + (x - dx - area.left))];
                pixel.MoveTo(data, x + origin_.x, y + origin_.y);
                pixel.Red() = static_cast<unsigned char>((value >> 16) & 0xFF);
                pixel.Green() = static_cast<unsigned char>((value >> 8) & 0xFF);
                pixel.Blue() = static_cast<unsigned char>(value & 0xFF);
            }
        }
    });
}

}  // namespace platform
