#include "core/utils/progress.h"

#include <cmath>
#include <limits>

namespace utils {

progress::progress() = default;

progress::progress(clock::time_point start) : start_(start) {}

void progress::set_total(std::uint64_t bytes)
{
    total_ = bytes;
    if (done_ > total_)
        done_ = total_;
}

void progress::step(std::uint64_t bytes)
{
    step(bytes, clock::now());
}

void progress::step(std::uint64_t bytes, clock::time_point now)
{
    // Compared against what is left rather than summed, so a huge step cannot wrap around.
    done_ = bytes >= total_ - done_ ? total_ : done_ + bytes;
    // Nothing to move counts as all of it moved; 0 / 0 would leave the bar and estimate undefined.
    fraction_ = total_ == 0 ? 1.0 : static_cast<double>(done_) / static_cast<double>(total_);

    const auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(now - start_).count();
    elapsed_ = nanoseconds / 1000000 - time_offset_;

    // Before the first byte there is no pace to go by: no estimate rather than an infinite one.
    if (fraction_ <= 0.0) {
        estimated_ = 0;
        remaining_ = 0;
        return;
    }
    const double estimate = static_cast<double>(elapsed_) / fraction_;
    constexpr double largest = static_cast<double>(std::numeric_limits<std::int64_t>::max());
    estimated_ = estimate >= largest ? std::numeric_limits<std::int64_t>::max()
                                     : static_cast<std::int64_t>(estimate);
    remaining_ = estimated_ - elapsed_;
}

int progress::bar_position() const
{
    return static_cast<int>(fraction_ * static_cast<double>(maximum_position_));
}

}  // namespace utils
