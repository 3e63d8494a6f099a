#pragma once
// A catalogue opened on the shipped schema and scripts repository, with a main and a backup
// folder in a temporary directory.

#include "core/data/data_table.h"
#include "core/fs/file_archive.h"

#include "support/temp_folder.h"

#include <boost/filesystem.hpp>
#include <gtest/gtest.h>

#include <cstdint>
#include <ctime>
#include <map>
#include <string>
#include <vector>

namespace catalogue_test {

inline std::string resource(const std::string& name)
{
    return (boost::filesystem::path(__FILE__).parent_path() / ".." / ".." / ".." / "resources" / name).string();
}

class catalogue_fixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        boost::filesystem::create_directories(main_root);
        archive.database_file = folder.path().filename().string();
        archive.schema_file = resource("schema.sql");
        archive.set_root(main_root.string());
        archive.create_result_table(archive.result);
        ASSERT_TRUE(archive.open_database(error, db::sqlite_db::memory_mode)) << error;
        ASSERT_TRUE(archive.load_scripts(resource("scripts.xml"), error)) << error;
    }

    boost::filesystem::path write_main(const std::string& relative, const std::string& content, std::time_t time = 1600000000) const
    {
        return folder.write("main/" + relative, content, time);
    }
    boost::filesystem::path write_backup(const std::string& relative, const std::string& content, std::time_t time = 1600000000) const
    {
        return folder.write("backup/" + relative, content, time);
    }

    bool compare(std::uint32_t mask = 15)
    {
        return archive.record_main_folder(error) && archive.record_backup_folder(backup_root.string(), table, error, mask);
    }

    std::vector<db::sqlite_db::record> rows(const std::string& sql)
    {
        std::vector<db::sqlite_db::record> found;
        for (auto row = archive.database.begin(sql); row != archive.database.end(); ++row)
            found.push_back(row.values());
        return found;
    }

    std::string scalar(const std::string& sql)
    {
        db::sqlite_db::record row;
        archive.database.execute_scalar(sql, row);
        return row.empty() ? std::string() : row[0];
    }

    // A merge's counters in their order, to compare all four at once.
    static std::vector<std::uint64_t> values(const fs::copy_counts& counts)
    {
        return { counts.bytes_handled, counts.entries_handled, counts.files_copied, counts.bytes_copied };
    }

    // The result rows keyed by file name ("file_name" or, for FILE rows, "backup_name").
    static std::map<std::string, const data::data_row*> by_name(const data::data_table& differences)
    {
        std::map<std::string, const data::data_row*> named;
        for (const data::data_row* row : differences.rows)
            named[row->cells[10] == "FILE" ? row->cells[6] : row->cells[1]] = row;
        return named;
    }

    test_support::temp_folder folder;
    boost::filesystem::path main_root { folder.path() / "main" };
    boost::filesystem::path backup_root { folder.path() / "backup" };
    fs::file_archive archive;
    std::string error;
    data::data_table* table { nullptr };
};

} // namespace catalogue_test
