#pragma once
// A real catalogue in shared memory on the shipped schema and a copy of the shipped scripts,
// with a main and a backup tree in a temporary folder.

#include "core/data/data_table.h"
#include "core/fs/file_archive.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <string>

namespace command_test {

inline std::string shipped(const std::string& name)
{
    return std::string(TARVOLINE_RESOURCES) + "/" + name;
}

class catalogue_test : public ::testing::Test {
protected:
    void SetUp() override
    {
        boost::filesystem::create_directories(main_root);
        boost::filesystem::create_directories(backup_root);
        catalogue.database_file = folder.path().filename().string();
        catalogue.schema_file = shipped("schema.sql");
        catalogue.set_root(main_root.string());
        catalogue.create_result_table(catalogue.result);
        ASSERT_TRUE(catalogue.open_database(error, db::sqlite_db::memory_mode)) << error;
        // A copy: the query interface saves into the repository it was loaded from.
        boost::filesystem::create_directories(repository.parent_path());
        boost::filesystem::copy_file(shipped("scripts.xml"), repository);
        ASSERT_TRUE(catalogue.load_scripts(repository.string(), error)) << error;
    }
    bool compare(std::uint32_t mask = 15)
    {
        data::data_table* table = catalogue.result.get();
        return catalogue.record_main_folder(error) &&
               catalogue.record_backup_folder(backup_root.string(), table, error, mask);
    }
    // Each result row as "kind name".
    std::vector<std::string> result_rows() const
    {
        std::vector<std::string> rows;
        for (const data::data_row* row : catalogue.result->rows)
            rows.push_back(row->cells[10] + " " + (row->cells[10] == "FILE" ? row->cells[6] : row->cells[1]));
        std::sort(rows.begin(), rows.end());
        return rows;
    }

    test_support::temp_folder folder;
    boost::filesystem::path main_root{folder.path() / "main"};
    boost::filesystem::path backup_root{folder.path() / "backup"};
    boost::filesystem::path repository{folder.path() / "repository" / "scripts.xml"};
    fs::file_archive catalogue;
    std::string error;
};

}  // namespace command_test
