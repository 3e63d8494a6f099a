#pragma once
// The byte counters and times of one merge: how much of the expected total has been moved, how
// long it took and how long the rest should take at the same pace.

#include <chrono>
#include <cstdint>

namespace utils {

class progress {
public:
    using clock = std::chrono::steady_clock;

    // The start is now.
    progress();
    explicit progress(clock::time_point start);
    virtual ~progress() = default;

    std::uint64_t total() const { return total_; }
    void set_total(std::uint64_t bytes);
    std::uint64_t done() const { return done_; }
    double fraction() const { return fraction_; }
    std::int64_t elapsed() const { return elapsed_; }
    std::int64_t estimated() const { return estimated_; }
    std::int64_t remaining() const { return remaining_; }
    std::uint64_t maximum_position() const { return maximum_position_; }
    clock::time_point start() const { return start_; }

    // Counts bytes as moved (never past the total) and updates the times as of now.
    void step(std::uint64_t bytes);
    void step(std::uint64_t bytes, clock::time_point now);

    // The fraction done on a bar that runs from 0 to the maximum position.
    int bar_position() const;

private:
    std::uint64_t total_ = 0;
    std::uint64_t done_ = 0;
    double fraction_ = 0.0;
    std::int64_t time_offset_ = 0;
    std::int64_t elapsed_ = 0;
    std::int64_t estimated_ = 0;
    std::int64_t remaining_ = 0;
    std::uint64_t maximum_position_ = 0x7fffffff;
    clock::time_point start_ = clock::now();
};

}  // namespace utils
