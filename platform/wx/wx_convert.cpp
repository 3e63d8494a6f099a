#include "platform/wx/wx_convert.h"

#include <wx/image.h>

#include <cstring>
#include <map>
#include <string>

namespace platform {

wxColour to_wx(COLORREF colour)
{
    return wxColour(GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

COLORREF from_wx(const wxColour& colour)
{
    return RGB(colour.Red(), colour.Green(), colour.Blue());
}

const wxFont& to_wx(const LOGFONTA& font)
{
    // Fonts are keyed by their whole description; a program uses a handful.
    static std::map<std::string, wxFont> fonts;
    std::string key(reinterpret_cast<const char*>(&font), offsetof(LOGFONTA, lfFaceName));
    key.append(font.lfFaceName, strnlen(font.lfFaceName, LF_FACESIZE));
    auto found = fonts.find(key);
    if (found != fonts.end())
        return found->second;
    // A negative height is the character height without internal leading (the em size); a
    // positive one the cell height, about 1.16 em for the common faces.
    int pixels = font.lfHeight < 0 ? -font.lfHeight : (font.lfHeight * 100 + 58) / 116;
    if (pixels == 0)
        pixels = 13;
    wxFontInfo info(wxSize(0, pixels));
    if (font.lfFaceName[0])
        info.FaceName(wxString::FromUTF8(font.lfFaceName));
    else
        info.Family((font.lfPitchAndFamily & 0x03) == 1 ? wxFONTFAMILY_TELETYPE : wxFONTFAMILY_SWISS);
    wxFont made(info);
    made.SetNumericWeight(font.lfWeight == 0 ? 400 : std::max(1, std::min<int>(font.lfWeight, 1000)));
    made.SetStyle(font.lfItalic ? wxFONTSTYLE_ITALIC : wxFONTSTYLE_NORMAL);
    made.SetUnderlined(font.lfUnderline != 0);
    made.SetStrikethrough(font.lfStrikeOut != 0);
    return fonts.emplace(key, made).first->second;
}

wxBrush to_wx(const CBrush& brush)
{
    if (brush.is_null())
        return *wxTRANSPARENT_BRUSH;
    if (brush.is_pattern() && !brush.pattern().empty()) {
        const CSize size = brush.pattern_size();
        wxImage image(size.cx, size.cy);
        for (int y = 0; y < size.cy; ++y) {
            for (int x = 0; x < size.cx; ++x) {
                const std::uint32_t pixel = brush.pattern()[static_cast<size_t>(y * size.cx + x)];
                image.SetRGB(x, y, (pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
            }
        }
        return wxBrush(wxBitmap(image));
    }
    return wxBrush(to_wx(brush.colour()));
}

wxBitmap& to_wx(CBitmap& bitmap)
{
    auto cached = std::static_pointer_cast<wxBitmap>(bitmap.native_cache);
    if (!cached || bitmap.native_revision != bitmap.revision()) {
        const int width = std::max(1, bitmap.width());
        const int height = std::max(1, bitmap.height());
        wxImage image(width, height);
        const auto& pixels = bitmap.initial_pixels();
        if (pixels.size() == static_cast<size_t>(width) * static_cast<size_t>(height)) {
            unsigned char* data = image.GetData();
            for (size_t index = 0; index < pixels.size(); ++index) {
                data[index * 3] = static_cast<unsigned char>((pixels[index] >> 16) & 0xFF);
                data[index * 3 + 1] = static_cast<unsigned char>((pixels[index] >> 8) & 0xFF);
                data[index * 3 + 2] = static_cast<unsigned char>(pixels[index] & 0xFF);
            }
        }
        cached = std::make_shared<wxBitmap>(image, 24);
        bitmap.native_cache = cached;
        bitmap.native_revision = bitmap.revision();
    }
    return *cached;
}

}  // namespace platform
