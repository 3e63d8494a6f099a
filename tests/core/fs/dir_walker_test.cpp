#include "core/fs/dir_walker.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <boost/filesystem.hpp>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace bfs = boost::filesystem;
using test_support::temp_folder;

// Every entry of a walk, with what inspect() says of it, by path.
std::map<std::string, fs::dir_walker::entry_info> walk_all(const fs::dir_walker& walker)
{
    std::map<std::string, fs::dir_walker::entry_info> entries;
    auto walk = walker.walk();
    EXPECT_EQ(walk.second, walker.root());
    for (; walk.first != bfs::recursive_directory_iterator(); ++walk.first)
        entries[walk.first->path().string()] = fs::dir_walker::inspect(walk.first);
    return entries;
}

std::vector<std::string> paths_of(const std::map<std::string, fs::dir_walker::entry_info>& entries)
{
    std::vector<std::string> paths;
    for (const auto& entry : entries)
        paths.push_back(entry.first);
    return paths;
}

fs::dir_walker walker_at(const std::string& root)
{
    fs::dir_walker walker;
    walker.set_root(root);
    return walker;
}

TEST(dir_walker, to_path_keeps_bytes_unchanged)
{
    EXPECT_TRUE(fs::to_path("").empty());
    EXPECT_EQ(fs::to_path("/m/caf\xC3\xA9/\xE9t\xE9 x").string(), "/m/caf\xC3\xA9/\xE9t\xE9 x");
    EXPECT_EQ(fs::to_path("relative/dir").string(), "relative/dir");
}

TEST(dir_walker, empty_tree_yields_nothing_and_one_file_yields_that_file)
{
    temp_folder folder;
    EXPECT_TRUE(walk_all(walker_at(folder.str())).empty());

    folder.write("only.txt", "12345", 1000000000);
    const auto entries = walk_all(walker_at(folder.str()));
    ASSERT_EQ(entries.size(), 1u);
    const auto& only = entries.at(folder.str() + "/only.txt");
    EXPECT_EQ(only.type, bfs::regular_file);
    EXPECT_EQ(only.size, 5u);
    EXPECT_EQ(only.last_write_time, 1000000000);
}

TEST(dir_walker, walk_yields_folders_before_their_contents_joined_to_the_root)
{
    temp_folder folder;
    folder.write("a.txt", "a");
    folder.write("x/y/b", "bb");
    folder.write("x/c.txt", "ccc");
    bfs::create_directories(folder.path() / "empty");
    const std::string root = folder.str();

    std::vector<std::string> order;
    auto walk = walker_at(root).walk();
    for (; walk.first != bfs::recursive_directory_iterator(); ++walk.first)
        order.push_back(walk.first->path().string());

    std::vector<std::string> sorted = order;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, (std::vector<std::string>{root + "/a.txt", root + "/empty", root + "/x", root + "/x/c.txt",
                                                root + "/x/y", root + "/x/y/b"}));
    const auto at = [&](const std::string& path) { return std::find(order.begin(), order.end(), root + path); };
    EXPECT_LT(at("/x"), at("/x/y"));
    EXPECT_LT(at("/x/y"), at("/x/y/b"));

    const auto entries = walk_all(walker_at(root));
    EXPECT_EQ(entries.at(root + "/x").type, bfs::directory_file);
    EXPECT_EQ(entries.at(root + "/x/y/b").size, 2u);
}

TEST(dir_walker, trailing_separators_on_the_root_never_double_in_paths)
{
    temp_folder folder;
    folder.write("sub/f.txt", "f");
    for (const std::string& root : {folder.str() + "/", folder.str() + "//"}) {
        const auto walker = walker_at(root);
        EXPECT_EQ(walker.root().string(), folder.str());
        EXPECT_EQ(paths_of(walk_all(walker)), (std::vector<std::string>{folder.str() + "/sub", folder.str() + "/sub/f.txt"}));
    }
    EXPECT_EQ(walker_at("/").root().string(), "/");
}

TEST(dir_walker, relative_root_yields_relative_paths)
{
    temp_folder folder;
    folder.write("d/f.txt", "f");
    const std::string relative = bfs::relative(folder.path(), bfs::current_path()).string();
    ASSERT_FALSE(bfs::path(relative).is_absolute());

    const auto entries = walk_all(walker_at(relative));
    EXPECT_EQ(paths_of(entries), (std::vector<std::string>{relative + "/d", relative + "/d/f.txt"}));
    EXPECT_EQ(entries.at(relative + "/d/f.txt").type, bfs::regular_file);
}

TEST(dir_walker, links_are_yielded_and_followed_for_status_but_folders_not_entered)
{
    temp_folder outside;
    outside.write("inner/deep.txt", "deep");
    outside.write("target.txt", "target!", 1200000000);

    temp_folder folder;
    bfs::create_directory_symlink(outside.path() / "inner", folder.path() / "folder_link");
    bfs::create_symlink(outside.path() / "target.txt", folder.path() / "file_link");
    bfs::create_symlink(folder.path() / "gone", folder.path() / "dangling");
    bfs::create_directory_symlink(folder.path(), folder.path() / "loop_to_root");

    const std::string root = folder.str();
    const auto entries = walk_all(walker_at(root));
    EXPECT_EQ(paths_of(entries), (std::vector<std::string>{root + "/dangling", root + "/file_link",
                                                           root + "/folder_link", root + "/loop_to_root"}));
    EXPECT_EQ(entries.at(root + "/folder_link").type, bfs::directory_file);
    EXPECT_EQ(entries.at(root + "/loop_to_root").type, bfs::directory_file);
    EXPECT_EQ(entries.at(root + "/dangling").type, bfs::file_not_found);
    const auto& file_link = entries.at(root + "/file_link");
    EXPECT_EQ(file_link.type, bfs::regular_file);
    EXPECT_EQ(file_link.size, 7u);
    EXPECT_EQ(file_link.last_write_time, 1200000000);
}

TEST(dir_walker, fifo_is_listed_without_being_opened)
{
    temp_folder folder;
    const auto fifo = folder.path() / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    folder.write("after.txt", "x");

    // Opening the pipe for reading would block the walk for good.
    const auto entries = walk_all(walker_at(folder.str()));
    EXPECT_EQ(entries.at(fifo.string()).type, bfs::fifo_file);
    EXPECT_EQ(entries.at(folder.str() + "/after.txt").type, bfs::regular_file);
}

TEST(dir_walker, unusual_names_come_back_byte_for_byte)
{
    temp_folder folder;
    const std::vector<std::string> names{"with space.txt", " leading", "line\nbreak", "latin1 \xE9t\xE9",
                                         "utf8 caf\xC3\xA9", "tab\there", "-dash", ".hidden"};
    for (const auto& name : names)
        folder.write("dir with blank/" + name, name);

    const auto entries = walk_all(walker_at(folder.str()));
    EXPECT_EQ(entries.size(), names.size() + 1);
    for (const auto& name : names) {
        const auto found = entries.find(folder.str() + "/dir with blank/" + name);
        ASSERT_NE(found, entries.end()) << name;
        EXPECT_EQ(found->second.type, bfs::regular_file);
        EXPECT_EQ(found->second.size, name.size());
    }
}

TEST(dir_walker, sizes_past_four_gibibytes_are_kept)
{
    temp_folder folder;
    const auto big = folder.write("big.bin", "");
    bfs::resize_file(big, 5368709120ULL);  // sparse
    const auto entries = walk_all(walker_at(folder.str()));
    EXPECT_EQ(entries.at(big.string()).size, 5368709120ULL);
}

TEST(dir_walker, missing_or_unreadable_folders_raise_the_library_error)
{
    temp_folder folder;
    EXPECT_THROW(walker_at(folder.str() + "/missing").walk(), bfs::filesystem_error);
    EXPECT_THROW(walker_at("").walk(), bfs::filesystem_error);
    const auto file = folder.write("file.txt", "x");
    EXPECT_THROW(walker_at(file.string()).walk(), bfs::filesystem_error);
}

TEST(dir_walker, unreadable_subfolder_raises_the_library_error)
{
    if (test_support::running_as_root())
        GTEST_SKIP() << "permissions do not stop root";
    temp_folder folder;
    folder.write("locked/inside.txt", "x");
    bfs::permissions(folder.path() / "locked", bfs::no_perms);
    EXPECT_THROW(walk_all(walker_at(folder.str())), bfs::filesystem_error);
}

} // namespace
