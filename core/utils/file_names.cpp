#include "core/utils/file_names.h"

#include "core/utils/string_utils.h"

#include <boost/filesystem/operations.hpp>

#include <stdexcept>

namespace utils {

namespace {

// A dangling symbolic link still holds the name: a copy written there would land wherever the
// link points, so the name is not free. A status that can't be read counts as free; the copy
// reports the real error.
bool is_free(const boost::filesystem::path& candidate)
{
    boost::system::error_code error;
    const auto status = boost::filesystem::symlink_status(candidate, error);
    return status.type() == boost::filesystem::file_not_found || status.type() == boost::filesystem::status_error;
}

} // namespace

boost::filesystem::path make_copy_name(const boost::filesystem::path& file)
{
    if (is_free(file))
        return file;

    const auto folder = file.parent_path();
    const auto stem = file.stem().string();
    const auto extension = file.extension().string();

    auto candidate = folder / (stem + " - Copy" + extension);
    for (int number = 2; number <= max_copy_name_tries; ++number) {
        if (is_free(candidate))
            return candidate;
        candidate = folder / (stem + " - Copy (" + string_utils::to_string(number) + ")" + extension);
    }
    throw std::runtime_error("No free name for a copy of " + file.string() + " after " +
                             string_utils::to_string(max_copy_name_tries) + " tries");
}

boost::filesystem::path make_timestamped_name(const boost::filesystem::path& file, const std::time_t* time)
{
    if (time == nullptr)
        throw std::invalid_argument("No time given for a time-stamped name of " + file.string());
    std::tm local {};
    if (localtime_r(time, &local) == nullptr)
        throw std::runtime_error("The time given for a time-stamped name of " + file.string() +
                                 " has no local-time form");
    char stamp[32] = {};
    std::strftime(stamp, sizeof stamp, "%Y%m%d_%H%M%S", &local);
    return file.parent_path() / (file.stem().string() + "_" + stamp + file.extension().string());
}

} // namespace utils
