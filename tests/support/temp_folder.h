#pragma once
// A real folder in the system's temporary directory, removed with everything in it when the
// test ends. Tests build their trees in it.

#include <boost/filesystem.hpp>

#include <cstdint>
#include <ctime>
#include <fstream>
#include <stdexcept>
#include <string>

#include <unistd.h>

namespace test_support {

class temp_folder {
public:
    temp_folder()
        : path_(boost::filesystem::temp_directory_path() /
                boost::filesystem::unique_path("tarvoline-test-%%%%-%%%%-%%%%"))
    {
        boost::filesystem::create_directories(path_);
    }
    ~temp_folder()
    {
        boost::system::error_code ignored;
        make_writable(path_);
        boost::filesystem::remove_all(path_, ignored);
    }
    temp_folder(const temp_folder&) = delete;
    temp_folder& operator=(const temp_folder&) = delete;

    const boost::filesystem::path& path() const { return path_; }
    std::string str() const { return path_.string(); }

    // Writes `content` to `relative` below the folder, creating the folders on the way.
    boost::filesystem::path write(const std::string& relative, const std::string& content) const
    {
        const auto target = path_ / relative;
        boost::filesystem::create_directories(target.parent_path());
        std::ofstream out(target.string(), std::ios::binary | std::ios::trunc);
        out << content;
        if (!out.flush())
            throw std::runtime_error("cannot write test file " + target.string());
        return target;
    }

    // Writes a file and sets its last-write time (seconds since 1970, UTC).
    boost::filesystem::path write(const std::string& relative, const std::string& content,
                                  std::time_t last_write) const
    {
        const auto target = write(relative, content);
        boost::filesystem::last_write_time(target, last_write);
        return target;
    }

    static std::string read(const boost::filesystem::path& file)
    {
        std::ifstream in(file.string(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    // Tests take permissions away to provoke failures; give them back so the folder can go.
    static void make_writable(const boost::filesystem::path& folder)
    {
        boost::system::error_code ec;
        boost::filesystem::permissions(folder, boost::filesystem::owner_all | boost::filesystem::add_perms, ec);
        for (boost::filesystem::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
            if (boost::filesystem::is_directory(it->symlink_status()))
                boost::filesystem::permissions(it->path(), boost::filesystem::owner_all | boost::filesystem::add_perms, ec);
        }
    }

    boost::filesystem::path path_;
};

inline bool running_as_root() { return ::geteuid() == 0; }

} // namespace test_support
