#pragma once
// What the fuzz targets share: a scratch folder for the files a reader needs, and a check that
// stops the run with its reason, so a broken promise counts as a finding like a crash does.

#include <boost/filesystem.hpp>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include <unistd.h>

namespace fuzz_support {

[[noreturn]] inline void fail(const char* condition, const char* file, int line, const std::string& detail)
{
    std::fprintf(stderr, "fuzz check failed at %s:%d: %s\n%s\n", file, line, condition, detail.c_str());
    std::abort();
}

// A folder of this process below /dev/shm where there is one (files there never reach a disk,
// which keeps the saving readers fast), removed when the process ends.
class scratch_folder {
public:
    scratch_folder()
    {
        namespace bfs = boost::filesystem;
        boost::system::error_code ec;
        const bfs::path base = bfs::is_directory("/dev/shm", ec) ? bfs::path("/dev/shm") : bfs::temp_directory_path();
        path_ = base / ("tarvoline-fuzz-" + std::to_string(::getpid()));
        bfs::create_directories(path_);
    }
    ~scratch_folder()
    {
        boost::system::error_code ignored;
        boost::filesystem::remove_all(path_, ignored);
    }
    scratch_folder(const scratch_folder&) = delete;
    scratch_folder& operator=(const scratch_folder&) = delete;

    std::string file(const std::string& name) const { return (path_ / name).string(); }

    static void write(const std::string& path, const std::uint8_t* data, std::size_t size)
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    static std::string read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }

private:
    boost::filesystem::path path_;
};

// The folder lives as long as the process: libFuzzer never returns from its loop normally.
inline scratch_folder& scratch()
{
    static scratch_folder folder;
    return folder;
}

} // namespace fuzz_support

#define FUZZ_CHECK(condition, detail)                                                   \
    do {                                                                                \
        if (!(condition))                                                               \
            ::fuzz_support::fail(#condition, __FILE__, __LINE__, (detail));             \
    } while (false)

