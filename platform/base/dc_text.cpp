// Device contexts: fonts in effect, metrics, extents and text output with its layout.
#include "platform/base/dc.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

int utf8_length(const char* text, int length)
{
    int count = 0;
    for (int index = 0; index < length; ++index)
        if ((static_cast<unsigned char>(text[index]) & 0xC0) != 0x80)
            ++count;
    return count;
}

// Removes the mnemonic markers: "&x" shows x, "&&" shows "&".
std::string strip_prefixes(const std::string& text)
{
    std::string shown;
    for (size_t index = 0; index < text.size(); ++index) {
        if (text[index] == '&' && index + 1 < text.size())
            ++index;
        else if (text[index] == '&')
            continue;
        shown += text[index];
    }
    return shown;
}

std::string expand_tabs(const std::string& text)
{
    std::string expanded;
    for (char character : text) {
        if (character == '\t')
            expanded.append(8 - expanded.size() % 8, ' ');
        else
            expanded += character;
    }
    return expanded;
}


}  // namespace

const LOGFONTA& CDC::current_font() const
{
    const CFont* font = font_ && font_->is_created() ? font_ : static_cast<CFont*>(GetStockObject(SYSTEM_FONT));
    return font->description();
}

void CDC::fixed_metrics(TEXTMETRICA& metrics) const
{
    const LOGFONTA& font = current_font();
    const int height = font.lfHeight == 0 ? 16 : std::abs(font.lfHeight) + (font.lfHeight < 0 ? 3 : 0);
    metrics.tmHeight = height;
    metrics.tmAscent = height * 4 / 5;
    metrics.tmDescent = height - metrics.tmAscent;
    metrics.tmAveCharWidth = std::max(1, height / 2);
    metrics.tmMaxCharWidth = height;
    metrics.tmWeight = font.lfWeight;
    metrics.tmItalic = font.lfItalic;
    metrics.tmUnderlined = font.lfUnderline;
}

BOOL CDC::GetTextMetrics(TEXTMETRICA* metrics) const
{
    if (!metrics)
        return FALSE;
    *metrics = TEXTMETRICA{};
    if (surface_)
        surface_->metrics(current_font(), *metrics);
    else
        fixed_metrics(*metrics);
    return TRUE;
}

CSize CDC::GetTextExtent(const char* text, int length) const
{
    if (!text)
        return CSize(0, 0);
    if (length < 0)
        length = static_cast<int>(std::strlen(text));
    if (surface_)
        return surface_->text_extent(current_font(), text, length);
    TEXTMETRICA metrics;
    fixed_metrics(metrics);
    return CSize(utf8_length(text, length) * metrics.tmAveCharWidth, metrics.tmHeight);
}

void CDC::draw_text_line(int x, int y, const char* text, int length, const RECT* clip, const COLORREF* back)
{
    if (!surface_ || length <= 0)
        return;
    const POINT origin = to_device(x, y);
    if (clip) {
        rectangle_set limited;
        CSize size = surface_->size();
        limited.add(RECT{0, 0, size.cx, size.cy});
        if (clipped_)
            limited = rectangle_set::combine(limited, clip_, RGN_AND);
        if (has_base_clip_)
            limited = rectangle_set::combine(limited, base_clip_, RGN_AND);
        limited.intersect(to_device(*clip));
        surface_->set_clip(&limited);
        surface_->text(origin.x, origin.y, text, length, current_font(), text_colour_, back);
        apply_clip();
    } else {
        surface_->text(origin.x, origin.y, text, length, current_font(), text_colour_, back);
    }
}

BOOL CDC::TextOut(int x, int y, const char* text, int length)
{
    return ExtTextOut(x, y, 0, nullptr, text, static_cast<UINT>(std::max(0, length)));
}

BOOL CDC::ExtTextOut(int x, int y, UINT options, const RECT* rect, const CString& text, const int* spacing)
{
    return ExtTextOut(x, y, options, rect, text, static_cast<UINT>(text.GetLength()), spacing);
}

BOOL CDC::ExtTextOut(int x, int y, UINT options, const RECT* rect, const char* text, UINT length,
                     const int* /*spacing*/)
{
    if ((options & ETO_OPAQUE) && rect && surface_) {
        CBrush back(back_colour_);
        surface_->fill(to_device(*rect), back);
    }
    if (!text || length == 0) {
        drawing_done();
        return TRUE;
    }
    const CSize extent = GetTextExtent(text, static_cast<int>(length));
    if ((text_align_ & TA_CENTER) == TA_CENTER)
        x -= extent.cx / 2;
    else if (text_align_ & TA_RIGHT)
        x -= extent.cx;
    if ((text_align_ & TA_BASELINE) == TA_BASELINE) {
        TEXTMETRICA metrics;
        GetTextMetrics(&metrics);
        y -= metrics.tmAscent;
    } else if (text_align_ & TA_BOTTOM) {
        y -= extent.cy;
    }
    const bool fill_behind = back_mode_ == OPAQUE && !(options & ETO_OPAQUE);
    draw_text_line(x, y, text, static_cast<int>(length), (options & ETO_CLIPPED) ? rect : nullptr,
                   fill_behind ? &back_colour_ : nullptr);
    drawing_done();
    return TRUE;
}

int CDC::DrawText(const char* text, int length, RECT* rect, UINT format)
{
    if (!rect || !text)
        return 0;
    if (length < 0)
        length = static_cast<int>(std::strlen(text));
    std::string shown(text, static_cast<size_t>(length));
    if (!(format & DT_NOPREFIX))
        shown = strip_prefixes(shown);
    if (format & DT_EXPANDTABS)
        shown = expand_tabs(shown);
    TEXTMETRICA metrics;
    GetTextMetrics(&metrics);
    const int line_height = metrics.tmHeight + ((format & DT_EXTERNALLEADING) ? metrics.tmExternalLeading : 0);
    const bool single_line = (format & DT_SINGLELINE) != 0;
    if (shown.empty()) {
        if (format & DT_CALCRECT) {
            rect->right = rect->left;
            rect->bottom = rect->top + (single_line ? line_height : 0);
        }
        return single_line ? line_height : 0;
    }
    const int width = rect->right - rect->left;
    auto measure = [&](const std::string& line) {
        return GetTextExtent(line.data(), static_cast<int>(line.size())).cx;
    };

    std::vector<std::string> lines;
    if (single_line) {
        std::string joined;
        for (char character : shown)
            if (character != '\r' && character != '\n')
                joined += character;
        lines.push_back(joined);
    } else {
        size_t start = 0;
        for (;;) {
            const size_t end = shown.find('\n', start);
            std::string paragraph = shown.substr(start, end == std::string::npos ? std::string::npos : end - start);
            paragraph.erase(std::remove(paragraph.begin(), paragraph.end(), '\r'), paragraph.end());
            if (!(format & DT_WORDBREAK)) {
                lines.push_back(paragraph);
            } else {
                // Greedy wrapping at spaces; a word wider than the rectangle keeps its own line.
                std::string current;
                size_t position = 0;
                while (position <= paragraph.size()) {
                    size_t word_end = paragraph.find(' ', position);
                    if (word_end == std::string::npos)
                        word_end = paragraph.size();
                    const std::string word = paragraph.substr(position, word_end - position);
                    const std::string candidate = current.empty() ? word : current + " " + word;
                    if (!current.empty() && measure(candidate) > width) {
                        lines.push_back(current);
                        current = word;
                    } else {
                        current = candidate;
                    }
                    position = word_end + 1;
                }
                lines.push_back(current);
            }
            if (end == std::string::npos)
                break;
            start = end + 1;
        }
    }
    if (format & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS | DT_PATH_ELLIPSIS)) {
        for (std::string& line : lines) {
            if (measure(line) <= width)
                continue;
            // The longest prefix (whole UTF-8 characters) that fits with the dots, found by
            // halving: measuring is the expensive part of drawing text.
            std::vector<size_t> cuts{0};
            for (size_t index = 1; index < line.size(); ++index)
                if ((static_cast<unsigned char>(line[index]) & 0xC0) != 0x80)
                    cuts.push_back(index);
            size_t low = 0;
            size_t high = cuts.size() - 1;
            while (low < high) {
                const size_t middle = (low + high + 1) / 2;
                if (measure(line.substr(0, cuts[middle]) + "...") <= width)
                    low = middle;
                else
                    high = middle - 1;
            }
            line = line.substr(0, cuts[low]) + "...";
        }
    }

    std::vector<int> line_widths;
    int widest = 0;
    for (const std::string& line : lines) {
        line_widths.push_back(measure(line));
        widest = std::max(widest, line_widths.back());
    }
    const int total_height = static_cast<int>(lines.size()) * line_height;
    if (format & DT_CALCRECT) {
        rect->right = rect->left + widest;
        rect->bottom = rect->top + total_height;
        return total_height;
    }
    int y = rect->top;
    if (single_line && (format & DT_VCENTER))
        y = rect->top + (rect->bottom - rect->top - line_height) / 2;
    else if (single_line && (format & DT_BOTTOM))
        y = rect->bottom - line_height;
    const COLORREF* back = back_mode_ == OPAQUE ? &back_colour_ : nullptr;
    for (size_t index = 0; index < lines.size(); ++index) {
        const std::string& line = lines[index];
        const int line_width = line_widths[index];
        int x = rect->left;
        if (format & DT_CENTER)
            x = rect->left + (width - line_width) / 2;
        else if (format & DT_RIGHT)
            x = rect->right - line_width;
        draw_text_line(x, y, line.data(), static_cast<int>(line.size()), (format & DT_NOCLIP) ? nullptr : rect, back);
        y += line_height;
    }
    drawing_done();
    if (single_line && (format & (DT_VCENTER | DT_BOTTOM)))
        return y - rect->top;
    return total_height;
}

