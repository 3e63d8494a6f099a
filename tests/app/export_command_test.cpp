// The Export command over a real data grid, real exporters and real files: what is written
// follows what the grid shows, the dialog's options take effect, failures are one ERROR line.

#include "app/CatalogueFileCommands.h"
#include "app/ExportCommand.h"
#include "command_support.h"
#include "data_grid_fixture.h"

#include "core/data/data_exporter.h"
#include "core/fs/file_archive.h"
#include "platform/base/dialog_controls.h"

#include <rapidxml/rapidxml.hpp>

namespace {

using command_test::captured_log;

// Fields of a CSV text by the usual rule: quoted fields may hold separators, quotes (doubled)
// and line breaks.
std::vector<std::vector<std::string>> parse_csv(const std::string& text, char separator = ',')
{
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> row;
    std::string field;
    bool quoted = false;
    for (std::size_t index = 0; index < text.size(); ++index) {
        const char c = text[index];
        if (quoted) {
            if (c == '"' && index + 1 < text.size() && text[index + 1] == '"') {
                field += '"';
                ++index;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"' && field.empty()) {
            quoted = true;
        } else if (c == separator) {
            row.push_back(field);
            field.clear();
        } else if (c == '\n') {
            row.push_back(field);
            field.clear();
            rows.push_back(row);
            row.clear();
        } else {
            field += c;
        }
    }
    return rows;
}

class export_command_test : public data_grid_test {
protected:
    void SetUp() override
    {
        exporters[export_csv] = std::make_unique<data::csv_exporter>();
        exporters[export_xml] = std::make_unique<data::xml_exporter>();
        exporters[export_excel] = std::make_unique<data::excel_exporter>();
        exporters[export_csv]->set_file_name(file("out.csv"));
        exporters[export_xml]->set_file_name(file("out.xml"));
        exporters[export_excel]->set_file_name(file("out.xls"));
    }
    std::string file(const std::string& name) const { return (folder.path() / name).string(); }
    bool run(const export_options& options)
    {
        return export_grid(options, grid, exporters, catalogue, file("out.db"), captured.log);
    }
    static export_options format(int chosen)
    {
        export_options options;
        options.format = chosen;
        return options;
    }

    exporter_table exporters;
    fs::file_archive catalogue;
    captured_log captured;
};

TEST_F(export_command_test, csv_has_one_field_per_shown_column_in_grid_order_and_follows_the_sort)
{
    add_difference(table, "1", "b.txt", "1536", "", "BACKUP");
    add_difference(table, "2", "a.txt", "10", "20", "SIZE");
    show();
    ASSERT_EQ(grid.GetColumnWidthAt(3), 0);
    grid.SortByColumn(1, CDataGridCtrl::ascending);

    ASSERT_TRUE(run(format(export_csv)));
    EXPECT_EQ(test_support::temp_folder::read(file("out.csv")), "2,a.txt,10 B,20 B,SIZE\n1,b.txt,1.50 KB,,BACKUP\n");
    EXPECT_EQ(captured.lines(), std::vector<std::string>({"INFO Begin export to " + file("out.csv"),
                                                          "INFO Export completed. Written 2 rows"}));
}

TEST_F(export_command_test, csv_options_separator_header_and_raw_values)
{
    add_difference(table, "1", "b.txt", "1536", "7", "SIZE", "1700000000", "1600000000");
    show();
    grid.SetColumnWidthAt(5, 120);
    export_options options = format(export_csv);
    options.separator = ";";
    options.include_header = true;
    options.raw_data = true;
    ASSERT_TRUE(run(options));
    EXPECT_EQ(test_support::temp_folder::read(file("out.csv")),
              "File ID;File Name;File Size;Backup Size;Backup Time;Difference\n1;b.txt;1536;7;1600000000;SIZE\n");
}

TEST_F(export_command_test, awkward_names_read_back_field_for_field)
{
    const std::vector<std::string> names = {"a,b.txt", "say \"hi\".txt", "\"lead.txt", "tab\there.txt",
                                            "two\nlines.txt", "plain.txt"};
    for (std::size_t index = 0; index < names.size(); ++index)
        add_difference(table, std::to_string(index + 1), names[index], "1", "2", "SIZE");
    show();
    ASSERT_TRUE(run(format(export_csv)));
    const auto rows = parse_csv(test_support::temp_folder::read(file("out.csv")));
    ASSERT_EQ(rows.size(), names.size());
    for (std::size_t index = 0; index < names.size(); ++index) {
        ASSERT_EQ(rows[index].size(), 5u) << names[index];
        EXPECT_EQ(rows[index][1], names[index]);
        EXPECT_EQ(rows[index][4], "SIZE");
    }
    EXPECT_NE(test_support::temp_folder::read(file("out.csv")).find("6,plain.txt,1 B,2 B,SIZE\n"), std::string::npos);
}

TEST_F(export_command_test, empty_grid_writes_an_empty_file_and_says_zero_rows)
{
    show();
    ASSERT_TRUE(run(format(export_csv)));
    EXPECT_EQ(test_support::temp_folder::read(file("out.csv")), "");
    EXPECT_EQ(captured.lines().back(), "INFO Export completed. Written 0 rows");
}

TEST_F(export_command_test, unwritable_files_give_one_error_and_no_completed_line)
{
    add_difference(table, "1", "a.txt", "1", "2", "SIZE");
    show();
    const std::string nowhere = file("missing-folder/out");
    exporters[export_csv]->set_file_name(nowhere + ".csv");
    exporters[export_xml]->set_file_name(nowhere + ".xml");
    EXPECT_FALSE(run(format(export_csv)));
    EXPECT_FALSE(run(format(export_xml)));
    EXPECT_FALSE(export_grid(format(export_db), grid, exporters, catalogue, nowhere + ".db", captured.log));
    exporters[export_excel].reset();
    EXPECT_FALSE(run(format(export_excel)));
    const auto lines = captured.lines();
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "ERROR Unable to export to " + nowhere + ".csv");
    EXPECT_EQ(lines[1], "INFO Begin export to " + nowhere + ".xml");
    EXPECT_EQ(lines[2], "ERROR Unable to export to " + nowhere + ".xml");
    EXPECT_EQ(lines[3].rfind("ERROR Unable to dump database into " + nowhere + ".db: ", 0), 0u) << lines[3];
    EXPECT_EQ(lines[4], "ERROR No export available for format EXCEL");
}

TEST_F(export_command_test, xml_names_cells_by_the_shown_headings_and_can_write_values_as_text)
{
    add_difference(table, "1", "a & b.txt", "1536", "", "BACKUP");
    show();
    export_options options = format(export_xml);
    options.values_as_attributes = false;
    ASSERT_TRUE(run(options));
    std::string text = test_support::temp_folder::read(file("out.xml"));
    rapidxml::xml_document<char> document;
    document.parse<0>(&text[0]);
    const auto* row = document.first_node("Table")->first_node("Row");
    std::vector<std::pair<std::string, std::string>> cells;
    for (const auto* cell = row->first_node("Data"); cell; cell = cell->next_sibling("Data"))
        cells.emplace_back(cell->first_attribute("name")->value(), cell->value());
    EXPECT_EQ(cells, (std::vector<std::pair<std::string, std::string>>{{"File ID", "1"},
                                                                         {"File Name", "a & b.txt"},
                                                                         {"File Size", "1.50 KB"},
                                                                         {"Backup Size", ""},
                                                                         {"Difference", "BACKUP"}}));
}

TEST_F(export_command_test, workbook_holds_one_row_per_grid_row_and_one_cell_per_shown_column)
{
    for (int index = 1; index <= 3; ++index)
        add_difference(table, std::to_string(index), "f" + std::to_string(index), "1", "2", "SIZE");
    show();
    ASSERT_TRUE(run(format(export_excel)));
    std::string text = test_support::temp_folder::read(file("out.xls"));
    rapidxml::xml_document<char> document;
    document.parse<0>(&text[0]);
    const auto* sheet_table = document.first_node("Workbook")->first_node("Worksheet")->first_node("Table");
    EXPECT_STREQ(sheet_table->first_attribute("ss:ExpandedRowCount")->value(), "3");
    EXPECT_STREQ(sheet_table->first_attribute("ss:ExpandedColumnCount")->value(), "5");
    int rows = 0;
    for (const auto* row = sheet_table->first_node("Row"); row; row = row->next_sibling("Row")) {
        int cells = 0;
        for (const auto* cell = row->first_node("Cell"); cell; cell = cell->next_sibling("Cell"))
            ++cells;
        EXPECT_EQ(cells, 5);
        ++rows;
    }
    EXPECT_EQ(rows, 3);
}

TEST_F(export_command_test, dialog_choice_drives_the_export_and_cancel_writes_nothing)
{
    add_difference(table, "1", "a.txt", "1", "2", "SIZE");
    show();
    std::vector<bool> export_enabled;
    {
        command_test::modal_answer cancel([](CDialog& dialog) {
            dialog.EndDialog(IDCANCEL);
            return IDCANCEL;
        });
        EXPECT_FALSE(run_export_command(nullptr, grid, exporters, catalogue, file("out.db"), captured.log));
    }
    EXPECT_FALSE(boost::filesystem::exists(file("out.csv")));
    command_test::modal_answer choose_csv_then_excel([&](CDialog& dialog) {
        export_enabled.push_back(dialog.GetDlgItem(IDC_EXPORT_EXPORT)->IsWindowEnabled() != FALSE);
        static_cast<CButton*>(dialog.GetDlgItem(IDC_EXPORT_CSV))->user_clicked();
        export_enabled.push_back(dialog.GetDlgItem(IDC_EXPORT_INCLUDE_HEADER)->IsWindowEnabled() != FALSE);
        static_cast<CButton*>(dialog.GetDlgItem(IDC_EXPORT_EXCEL))->user_clicked();
        export_enabled.push_back(dialog.GetDlgItem(IDC_EXPORT_INCLUDE_HEADER)->IsWindowEnabled() != FALSE);
        export_enabled.push_back(dialog.GetDlgItem(IDC_EXPORT_EXPORT)->IsWindowEnabled() != FALSE);
        static_cast<CButton*>(dialog.GetDlgItem(IDC_EXPORT_EXPORT))->user_clicked();
        return IDOK;
    });
    EXPECT_TRUE(run_export_command(nullptr, grid, exporters, catalogue, file("out.db"), captured.log));
    EXPECT_EQ(export_enabled, (std::vector<bool>{false, true, false, true}));
    EXPECT_TRUE(boost::filesystem::exists(file("out.xls")));
    EXPECT_FALSE(boost::filesystem::exists(file("out.csv")));
}

}  // namespace

TEST_F(export_command_test, a_row_missing_in_main_is_named_by_its_backup_file_in_the_grid_its_hint_and_the_export)
{
    add_difference(table, "1", "a.txt", "10", "20", "SIZE");
    table.add_row_values({ "", "", "", "", "", "7", "notes.md", "/backup/docs", "14", "1600000000", "FILE" });
    show();
    EXPECT_EQ(text_at(1, 1), "notes.md");
    std::string hint;
    ASSERT_TRUE(appearance.CellHint(1, 1, UG_GRID, hint));
    EXPECT_EQ(hint, "/backup/docs/notes.md");
    EXPECT_EQ(text_at(0, 1), "") << "the table itself stays as it is";
    EXPECT_EQ(text_at(2, 1), "");

    ASSERT_TRUE(run(format(export_csv)));
    EXPECT_EQ(test_support::temp_folder::read(file("out.csv")), "1,a.txt,10 B,20 B,SIZE\n,notes.md,,14 B,FILE\n");
}
