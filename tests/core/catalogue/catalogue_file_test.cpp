// Loading a saved catalogue: only a usable one replaces the catalogue in use.

#include "catalogue_fixture.h"

#include <fstream>

#include <sys/stat.h>

namespace catalogue_test {
namespace {

namespace bfs = boost::filesystem;

class catalogue_file : public catalogue_fixture {
protected:
    // A saved catalogue with enough rows to fill many pages.
    std::string saved_catalogue()
    {
        EXPECT_TRUE(archive.database.execute(
            "with recursive n(i) as (select 1 union all select i + 1 from n where i < 3000) "
            "insert into [FILE] (NAME, FULL_PATH, RELATIVE_PATH, SIZE) "
            "select 'file-' || i || '.txt', '/m/folder-' || (i % 40), '/folder-' || (i % 40), i from n"));
        const std::string path = (folder.path() / "saved.db").string();
        EXPECT_TRUE(archive.database.save_to_file(path)) << archive.database.last_error();
        return path;
    }

    std::string other_database(const std::string& name, const std::string& sql)
    {
        const std::string path = (folder.path() / name).string();
        db::sqlite_db other;
        EXPECT_TRUE(other.open(path, db::sqlite_db::file_mode) && other.execute(sql)) << other.last_error();
        return path;
    }
};

TEST_F(catalogue_file, only_a_usable_catalogue_replaces_the_current_one)
{
    write_main("a.txt", "a");
    write_backup("b.txt", "b");
    const std::string good = saved_catalogue();
    ASSERT_TRUE(compare()) << error;
    const std::string rows_before = scalar("select count(*) from [FILE]") + "/" + scalar("select count(*) from [BACKUP]");
    ASSERT_EQ(rows_before, "1/1");

    const std::string damaged = (folder.path() / "damaged.db").string();
    bfs::copy_file(good, damaged);
    {
        std::fstream bytes(damaged, std::ios::in | std::ios::out | std::ios::binary);
        bytes.seekp(4096 * 3);
        bytes << std::string(4096, '\x5a');
    }
    const std::string fifo = (folder.path() / "pipe.db").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);

    const std::vector<std::pair<std::string, std::string>> unusable = {
        { folder.write("empty.db", "").string(), "has no table" },
        { other_database("other.db", "create table notes (text);"), "has no table" },
        { other_database("narrow.db", "create table [FILE] (NAME, FULL_PATH); create table [BACKUP] (NAME);"),
          "no column" },
        { damaged, "damaged" },
        { fifo, "not a regular file" },
    };
    for (const auto& file : unusable) {
        error.clear();
        EXPECT_FALSE(archive.load_catalogue(file.first, error)) << file.first;
        EXPECT_NE(error.find(file.second), std::string::npos) << file.first << ": " << error;
        EXPECT_EQ(scalar("select count(*) from [FILE]") + "/" + scalar("select count(*) from [BACKUP]"), rows_before)
            << file.first;
    }

    ASSERT_TRUE(archive.load_catalogue(good, error)) << error;
    EXPECT_EQ(scalar("select count(*) from [FILE]"), "3000");
}

} // namespace
} // namespace catalogue_test
