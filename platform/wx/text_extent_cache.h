#pragma once
// Extents of texts already measured, per font and text. Shaping text is the dearest part of
// drawing a grid and the same texts come back on every repaint, while a surface lives for one
// paint only: so the cache is shared by all surfaces and guarded by a lock.

#include "platform/base/logfont.h"
#include "platform/base/geometry.h"

#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <unordered_map>

namespace platform {

class text_extent_cache {
public:
    // Past this many texts the cache starts again, so a long session's memory stays bounded.
    static constexpr std::size_t capacity = 20000;

    // The remembered extent, or what measure answers (then remembered).
    CSize find_or_measure(const LOGFONTA& font, const char* text, int length, const std::function<CSize()>& measure);
    // How many extents were measured rather than found.
    std::size_t measured() const;

    static text_extent_cache& shared();

private:
    // The fields that choose the toolkit font; the face name ends at its terminator.
    struct key {
        LONG height = 0;
        LONG weight = 0;
        BYTE italic = 0;
        BYTE underline = 0;
        BYTE strike_out = 0;
        BYTE pitch_and_family = 0;
        std::string face;
        std::string text;

        bool operator==(const key& other) const;
    };
    struct key_hash {
        std::size_t operator()(const key& value) const;
    };

    mutable std::mutex mutex_;
    std::unordered_map<key, CSize, key_hash> extents_;
    std::size_t measured_ = 0;
};

}  // namespace platform
