#include "platform/wx/text_extent_cache.h"

#include <algorithm>
#include <cstring>
#include <tuple>

namespace platform {

bool text_extent_cache::key::operator==(const key& other) const
{
    return std::tie(height, weight, italic, underline, strike_out, pitch_and_family, face, text) ==
           std::tie(other.height, other.weight, other.italic, other.underline, other.strike_out,
                    other.pitch_and_family, other.face, other.text);
}

std::size_t text_extent_cache::key_hash::operator()(const key& value) const
{
    std::size_t hash = std::hash<std::string>()(value.text);
    const auto mix = [&hash](std::size_t part) { hash ^= part + 0x9e3779b97f4a7c15ULL + (hash << 6) + (hash >> 2); };
    mix(std::hash<std::string>()(value.face));
    mix(static_cast<std::size_t>(value.height));
    mix(static_cast<std::size_t>(value.weight));
    mix(static_cast<std::size_t>(value.italic) | static_cast<std::size_t>(value.underline) << 8 |
        static_cast<std::size_t>(value.strike_out) << 16 | static_cast<std::size_t>(value.pitch_and_family) << 24);
    return hash;
}

CSize text_extent_cache::find_or_measure(const LOGFONTA& font, const char* text, int length,
                                         const std::function<CSize()>& measure)
{
    key wanted;
    wanted.height = font.lfHeight;
    wanted.weight = font.lfWeight;
    wanted.italic = font.lfItalic;
    wanted.underline = font.lfUnderline;
    wanted.strike_out = font.lfStrikeOut;
    wanted.pitch_and_family = font.lfPitchAndFamily;
    wanted.face.assign(font.lfFaceName, strnlen(font.lfFaceName, LF_FACESIZE));
    if (text != nullptr && length > 0)
        wanted.text.assign(text, static_cast<std::size_t>(length));

    const std::lock_guard<std::mutex> lock(mutex_);
    const auto found = extents_.find(wanted);
    if (found != extents_.end())
        return found->second;
    if (extents_.size() >= capacity)
        extents_.clear();
    const CSize measured = measure();
    ++measured_;
    extents_.emplace(std::move(wanted), measured);
    return measured;
}

std::size_t text_extent_cache::measured() const
{
    const std::lock_guard<std::mutex> lock(mutex_);
    return measured_;
}

text_extent_cache& text_extent_cache::shared()
{
    static text_extent_cache cache;
    return cache;
}

}  // namespace platform
