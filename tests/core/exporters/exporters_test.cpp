#include "core/data/data_exporter.h"
#include "core/data/data_table.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>
#include <rapidxml/rapidxml.hpp>

#include <boost/filesystem.hpp>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using test_support::temp_folder;
using xml_node = rapidxml::xml_node<char>;

const std::vector<std::string> nine_names { "Id",   "Name",  "Path",  "Size", "Time",
                                            "Kind", "Other", "Extra", "Last" };

// Rows as the export command sends them: each cell through operator<<, then the end of row.
void export_rows(data::data_exporter& exporter, const std::vector<std::vector<std::string>>& rows)
{
    for (const auto& row : rows) {
        for (const auto& cell : row)
            exporter << cell.c_str();
        exporter.end_row();
    }
}

// A saved XML file parsed back, with the helpers the checks need.
class parsed_xml {
public:
    explicit parsed_xml(const boost::filesystem::path& file)
    {
        const std::string content = temp_folder::read(file);
        text_.assign(content.begin(), content.end());
        text_.push_back('\0');
        document_.parse<rapidxml::parse_declaration_node>(text_.data());
    }

    const rapidxml::xml_document<char>& document() const { return document_; }
    const xml_node* root() const { return document_.first_node(); }

    static std::string attribute(const xml_node* node, const char* name)
    {
        const auto* found = node->first_attribute(name);
        return found ? std::string(found->value(), found->value_size()) : "<missing>";
    }
    static std::vector<std::string> attribute_names(const xml_node* node)
    {
        std::vector<std::string> names;
        for (const auto* a = node->first_attribute(); a; a = a->next_attribute())
            names.emplace_back(a->name(), a->name_size());
        return names;
    }
    static std::vector<const xml_node*> children(const xml_node* node, const char* name)
    {
        std::vector<const xml_node*> found;
        for (const auto* child = node->first_node(name); child; child = child->next_sibling(name))
            found.push_back(child);
        return found;
    }

private:
    std::vector<char> text_;
    rapidxml::xml_document<char> document_;
};

TEST(csv_export, writes_cells_unchanged_between_separators)
{
    temp_folder folder;
    data::csv_exporter exporter;
    exporter.set_file_name((folder.path() / "out.csv").string());
    exporter.set_column_names(nine_names);
    ASSERT_TRUE(exporter.open());
    export_rows(exporter, { { "a.txt", "12", "/x" }, { "b, c.txt" }, { " d ", "", "\"e\"", "4" } });
    exporter << 1536 << "KB";
    exporter.end_row();
    const char* no_text = nullptr;
    exporter << std::string("s") << no_text << "t";
    exporter.end_row();
    ASSERT_TRUE(exporter.close());
    EXPECT_EQ(temp_folder::read(folder.path() / "out.csv"),
              "a.txt,12,/x\nb, c.txt\n d ,,\"e\",4\n1536,KB\ns,,t\n");
}

TEST(csv_export, empty_table_gives_empty_file_or_header_alone)
{
    temp_folder folder;
    data::csv_exporter exporter;
    exporter.set_file_name((folder.path() / "out.csv").string());
    exporter.set_column_names({ "Name", "Size" });
    ASSERT_TRUE(exporter.open());
    ASSERT_TRUE(exporter.close());
    EXPECT_EQ(temp_folder::read(folder.path() / "out.csv"), "");

    exporter.set_header(true);
    exporter.set_separator(";");
    ASSERT_TRUE(exporter.open());
    export_rows(exporter, { { "a", "1" } });
    ASSERT_TRUE(exporter.close());
    EXPECT_EQ(temp_folder::read(folder.path() / "out.csv"), "Name;Size\na;1\n");
}

TEST(csv_export, each_export_replaces_the_file_and_starts_a_fresh_row)
{
    temp_folder folder;
    const auto file = folder.write("out.csv", "an older and much longer file content\n");
    data::csv_exporter exporter;
    exporter.set_file_name(file.string());
    ASSERT_TRUE(exporter.open());
    export_rows(exporter, { { "first", "x" } });
    ASSERT_TRUE(exporter.close());
    EXPECT_EQ(temp_folder::read(file), "first,x\n");

    ASSERT_TRUE(exporter.open());
    exporter << "left" << "unfinished";
    ASSERT_TRUE(exporter.open());
    export_rows(exporter, { { "second", "y" } });
    ASSERT_TRUE(exporter.close());
    EXPECT_EQ(temp_folder::read(file), "second,y\n");
}

TEST(csv_export, failures_are_reported)
{
    temp_folder folder;
    data::csv_exporter exporter;
    exporter.set_file_name((folder.path() / "missing" / "out.csv").string());
    EXPECT_FALSE(exporter.open());
    EXPECT_FALSE(exporter.close());
    EXPECT_FALSE(boost::filesystem::exists(folder.path() / "missing"));

    if (!boost::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full on this machine";
    exporter.set_file_name("/dev/full");
    ASSERT_TRUE(exporter.open());
    export_rows(exporter, { { "a", "b" } });
    EXPECT_FALSE(exporter.close()) << "a full disk is not a finished export";
}

TEST(xml_export, layout_reads_back_with_counts_and_names)
{
    temp_folder folder;
    const auto file = folder.path() / "out.xml";
    data::xml_exporter exporter;
    exporter.set_file_name(file.string());
    exporter.set_column_names(nine_names);
    ASSERT_TRUE(exporter.open());
    export_rows(exporter, { { "a.txt", "12" }, { "b.txt", "7", "SIZE" }, { "c.txt" } });
    ASSERT_TRUE(exporter.close());

    const std::string text = temp_folder::read(file);
    EXPECT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n", 0), 0u) << text;
    parsed_xml xml(file);
    const xml_node* table = xml.root()->next_sibling();
    ASSERT_NE(table, nullptr);
    EXPECT_STREQ(table->name(), "Table");
    EXPECT_EQ(parsed_xml::attribute_names(table), std::vector<std::string>({ "ColumnCount", "RowCount" }));
    EXPECT_EQ(parsed_xml::attribute(table, "ColumnCount"), "3");
    EXPECT_EQ(parsed_xml::attribute(table, "RowCount"), "3");

    const auto rows = parsed_xml::children(table, "Row");
    ASSERT_EQ(rows.size(), 3u);
    const std::vector<std::vector<std::string>> expected { { "a.txt", "12" }, { "b.txt", "7", "SIZE" }, { "c.txt" } };
    for (std::size_t r = 0; r < rows.size(); ++r) {
        EXPECT_EQ(parsed_xml::attribute_names(rows[r]), std::vector<std::string>({ "Count" }));
        EXPECT_EQ(parsed_xml::attribute(rows[r], "Count"), std::to_string(r + 1));
        const auto cells = parsed_xml::children(rows[r], "Data");
        ASSERT_EQ(cells.size(), expected[r].size());
        for (std::size_t c = 0; c < cells.size(); ++c) {
            EXPECT_EQ(parsed_xml::attribute_names(cells[c]), std::vector<std::string>({ "name", "value" }));
            // The first cell of a row is named by the list's second name.
            EXPECT_EQ(parsed_xml::attribute(cells[c], "name"), nine_names[c + 1]);
            EXPECT_EQ(parsed_xml::attribute(cells[c], "value"), expected[r][c]);
        }
    }
}

TEST(xml_export, special_characters_survive_the_round_trip)
{
    temp_folder folder;
    const auto file = folder.path() / "out.xml";
    const std::string awkward = "a \"b\" 'c' <d> & e";
    data::xml_exporter exporter;
    exporter.set_file_name(file.string());
    exporter.set_column_names({ "Id", awkward });
    ASSERT_TRUE(exporter.open());
    export_rows(exporter, { { awkward } });
    ASSERT_TRUE(exporter.close());
    parsed_xml xml(file);
    const xml_node* cell = xml.document().first_node("Table")->first_node("Row")->first_node("Data");
    EXPECT_EQ(parsed_xml::attribute(cell, "name"), awkward);
    EXPECT_EQ(parsed_xml::attribute(cell, "value"), awkward);
}

// Whether every byte sequence is UTF-8 of a character XML 1.0 may hold, and no carriage return is
// raw (a reader turns it into a line feed): what any conforming reader needs to take the file.
bool readable_by_any_xml_reader(const std::string& text)
{
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        std::size_t length = byte < 0x80 ? 1 : (byte >> 5) == 6 ? 2 : (byte >> 4) == 14 ? 3 : (byte >> 3) == 30 ? 4 : 0;
        if (length == 0 || i + length > text.size())
            return false;
        std::uint32_t code = length == 1 ? byte : byte & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3F);
        }
        const std::uint32_t shortest[] = { 0, 0, 0x80, 0x800, 0x10000 };
        if (code < shortest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF) || code == 0xFFFE
            || code == 0xFFFF || code == '\r' || (code < 0x20 && code != '\t' && code != '\n'))
            return false;
        i += length;
    }
    return true;
}

TEST(export_formats, line_ends_come_back_and_bad_bytes_become_replacement_characters)
{
    const std::string replacement = "\xEF\xBF\xBD";
    const std::vector<std::pair<std::string, std::string>> cells = {
        { "tab\there", "tab\there" },
        { "cr\rlf\nend", "cr\rlf\nend" },
        { "bell\x07", "bell" + replacement },
        { "\xFF\xFE raw", replacement + replacement + " raw" },
        { "not a character \xEF\xBF\xBE", "not a character " + replacement },
        { "cut \xE6\x97", "cut " + replacement + replacement },
        { "caf\xC3\xA9 \xF0\x9F\x98\x80", "caf\xC3\xA9 \xF0\x9F\x98\x80" },
    };
    std::vector<std::string> row;
    for (const auto& cell : cells)
        row.push_back(cell.first);

    temp_folder folder;
    data::xml_exporter xml_out;
    data::excel_exporter excel_out;
    for (data::data_exporter* exporter : std::vector<data::data_exporter*> { &xml_out, &excel_out }) {
        const auto file = folder.path() / ("out." + exporter->format_name());
        exporter->set_file_name(file.string());
        exporter->set_column_names({ "Id", "Name\tTab", "\x01" });
        ASSERT_TRUE(exporter->open());
        export_rows(*exporter, { row, { "next row" } });
        ASSERT_TRUE(exporter->close());

        const std::string content = temp_folder::read(file);
        EXPECT_TRUE(readable_by_any_xml_reader(content)) << content;
        EXPECT_NE(content.find("tab&#9;here"), std::string::npos) << content;
        EXPECT_NE(content.find("cr&#13;lf&#10;end"), std::string::npos) << content;

        parsed_xml parsed(file);
        std::vector<std::string> values;
        const xml_node* table = exporter == &xml_out ? parsed.document().first_node("Table")
                                                     : parsed.document().first_node("Workbook")->first_node("Worksheet")->first_node("Table");
        const auto rows = parsed_xml::children(table, "Row");
        ASSERT_EQ(rows.size(), 2u);
        const auto first = parsed_xml::children(rows[0], exporter == &xml_out ? "Data" : "Cell");
        for (const xml_node* cell : first) {
            if (exporter == &xml_out) {
                values.push_back(parsed_xml::attribute(cell, "value"));
            } else {
                const xml_node* data = cell->first_node("Data");
                values.emplace_back(data->value(), data->value_size());
            }
        }
        std::vector<std::string> expected;
        for (const auto& cell : cells)
            expected.push_back(cell.second);
        EXPECT_EQ(values, expected) << exporter->format_name();
        if (exporter == &xml_out) {
            EXPECT_EQ(parsed_xml::attribute(first[0], "name"), "Name\tTab");
            EXPECT_EQ(parsed_xml::attribute(first[1], "name"), replacement);
        }
    }
}

TEST(xml_export, second_export_of_an_empty_table_holds_nothing_of_the_first)
{
    temp_folder folder;
    const auto file = folder.path() / "out.xml";
    data::xml_exporter exporter;
    exporter.set_file_name(file.string());
    exporter.set_column_names(nine_names);
    ASSERT_TRUE(exporter.open());
    export_rows(exporter, { { "1", "2", "3", "4" }, { "5" }, { "6" } });
    ASSERT_TRUE(exporter.close());
    ASSERT_TRUE(exporter.open());
    ASSERT_TRUE(exporter.close());

    parsed_xml xml(file);
    const xml_node* table = xml.document().first_node("Table");
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(parsed_xml::attribute(table, "ColumnCount"), "0");
    EXPECT_EQ(parsed_xml::attribute(table, "RowCount"), "0");
    EXPECT_EQ(table->first_node(), nullptr);
    EXPECT_EQ(table->next_sibling(), nullptr);
}

TEST(xml_export, cells_outside_an_export_are_refused_and_failures_reported)
{
    temp_folder folder;
    data::xml_exporter exporter;
    exporter.set_file_name((folder.path() / "missing" / "out.xml").string());
    EXPECT_THROW(exporter << "too early", std::logic_error);
    EXPECT_FALSE(exporter.close());

    ASSERT_TRUE(exporter.open());
    export_rows(exporter, { { "a" } });
    EXPECT_FALSE(exporter.close()) << "a folder that doesn't exist";
    EXPECT_THROW(exporter.write_cell("too late", 1), std::logic_error);

    if (!boost::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full on this machine";
    exporter.set_file_name("/dev/full");
    ASSERT_TRUE(exporter.open());
    export_rows(exporter, { { "a" } });
    EXPECT_FALSE(exporter.close()) << "a full disk is not a finished export";
}

TEST(excel_export, workbook_reads_back_with_namespaces_and_expanded_counts)
{
    temp_folder folder;
    const auto file = folder.path() / "out.xls";
    data::excel_exporter exporter;
    exporter.set_file_name(file.string());
    exporter.set_column_names(nine_names);
    ASSERT_TRUE(exporter.open());
    export_rows(exporter, { { "a.txt", "12" }, { "b.txt", "7", "<SIZE>" } });
    ASSERT_TRUE(exporter.close());

    parsed_xml xml(file);
    EXPECT_EQ(xml.root()->type(), rapidxml::node_declaration);
    const xml_node* workbook = xml.document().first_node("Workbook");
    ASSERT_NE(workbook, nullptr);
    EXPECT_EQ(parsed_xml::attribute_names(workbook),
              std::vector<std::string>({ "xmlns", "xmlns:o", "xmlns:x", "xmlns:ss", "xmlns:html" }));
    EXPECT_EQ(parsed_xml::attribute(workbook, "xmlns"), "urn:schemas-microsoft-com:office:spreadsheet");
    EXPECT_EQ(parsed_xml::attribute(workbook, "xmlns:o"), "urn:schemas-microsoft-com:office:office");
    EXPECT_EQ(parsed_xml::attribute(workbook, "xmlns:x"), "urn:schemas-microsoft-com:office:excel");
    EXPECT_EQ(parsed_xml::attribute(workbook, "xmlns:ss"), "urn:schemas-microsoft-com:office:spreadsheet");
    EXPECT_EQ(parsed_xml::attribute(workbook, "xmlns:html"), "http://www.w3.org/TR/REC-html40");

    const xml_node* worksheet = workbook->first_node("Worksheet");
    ASSERT_NE(worksheet, nullptr);
    EXPECT_EQ(parsed_xml::attribute(worksheet, "ss:Name"), "Sheet1");
    const xml_node* table = worksheet->first_node("Table");
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(parsed_xml::attribute_names(table),
              std::vector<std::string>({ "x:FullColumns", "x:FullRows", "ss:ExpandedColumnCount", "ss:ExpandedRowCount" }));
    EXPECT_EQ(parsed_xml::attribute(table, "x:FullColumns"), "1");
    EXPECT_EQ(parsed_xml::attribute(table, "x:FullRows"), "1");
    EXPECT_EQ(parsed_xml::attribute(table, "ss:ExpandedColumnCount"), "3");
    EXPECT_EQ(parsed_xml::attribute(table, "ss:ExpandedRowCount"), "2");

    const auto rows = parsed_xml::children(table, "Row");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0]->first_attribute(), nullptr);
    const auto cells = parsed_xml::children(rows[1], "Cell");
    ASSERT_EQ(cells.size(), 3u);
    const std::vector<std::string> expected { "b.txt", "7", "<SIZE>" };
    for (std::size_t c = 0; c < cells.size(); ++c) {
        const xml_node* value = cells[c]->first_node("Data");
        ASSERT_NE(value, nullptr);
        EXPECT_EQ(parsed_xml::attribute(value, "ss:Type"), "String");
        EXPECT_EQ(std::string(value->value(), value->value_size()), expected[c]);
    }
}

TEST(excel_export, empty_table_and_second_export)
{
    temp_folder folder;
    const auto file = folder.path() / "out.xls";
    data::excel_exporter exporter;
    exporter.set_file_name(file.string());
    ASSERT_TRUE(exporter.open());
    export_rows(exporter, { { "1", "2" }, { "3" } });
    ASSERT_TRUE(exporter.close());
    ASSERT_TRUE(exporter.open());
    ASSERT_TRUE(exporter.close());

    parsed_xml xml(file);
    const xml_node* table = xml.document().first_node("Workbook")->first_node("Worksheet")->first_node("Table");
    EXPECT_EQ(parsed_xml::attribute(table, "ss:ExpandedColumnCount"), "0");
    EXPECT_EQ(parsed_xml::attribute(table, "ss:ExpandedRowCount"), "0");
    EXPECT_EQ(table->first_node(), nullptr);

    if (!boost::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full on this machine";
    exporter.set_file_name("/dev/full");
    ASSERT_TRUE(exporter.open());
    export_rows(exporter, { { "a" } });
    EXPECT_FALSE(exporter.close());
}

// The export command's road: every cell of every table row, the same names for all formats.
TEST(export_formats, a_difference_table_exports_alike_in_all_three_formats)
{
    data::data_table table;
    std::vector<std::vector<std::string>> expected;
    for (int r = 1; r <= 3; ++r) {
        std::vector<std::string> values;
        for (std::size_t c = 1; c <= data::data_table::column_count; ++c)
            values.push_back("r" + std::to_string(r) + "c" + std::to_string(c));
        table.add_row_values(values);
        expected.push_back(values);
    }
    temp_folder folder;
    data::csv_exporter csv;
    data::xml_exporter xml;
    data::excel_exporter excel;
    std::vector<data::data_exporter*> exporters { &csv, &xml, &excel };
    for (data::data_exporter* exporter : exporters) {
        exporter->set_file_name((folder.path() / ("out." + exporter->format_name())).string());
        exporter->set_column_names(nine_names);
        ASSERT_TRUE(exporter->open());
        for (const data::data_row& row : table) {
            for (std::size_t c = 1; c <= row.size(); ++c)
                *exporter << row.cell(c);
            exporter->end_row();
        }
        ASSERT_TRUE(exporter->close()) << exporter->format_name();
    }

    std::string csv_expected;
    for (const auto& row : expected) {
        for (std::size_t c = 0; c < row.size(); ++c)
            csv_expected += (c ? "," : "") + row[c];
        csv_expected += "\n";
    }
    EXPECT_EQ(temp_folder::read(folder.path() / "out.CSV"), csv_expected);

    parsed_xml plain(folder.path() / "out.XML");
    const auto plain_rows = parsed_xml::children(plain.document().first_node("Table"), "Row");
    parsed_xml workbook(folder.path() / "out.EXCEL");
    const auto sheet_rows = parsed_xml::children(
        workbook.document().first_node("Workbook")->first_node("Worksheet")->first_node("Table"), "Row");
    ASSERT_EQ(plain_rows.size(), expected.size());
    ASSERT_EQ(sheet_rows.size(), expected.size());
    for (std::size_t r = 0; r < expected.size(); ++r) {
        const auto plain_cells = parsed_xml::children(plain_rows[r], "Data");
        const auto sheet_cells = parsed_xml::children(sheet_rows[r], "Cell");
        ASSERT_EQ(plain_cells.size(), expected[r].size());
        ASSERT_EQ(sheet_cells.size(), expected[r].size());
        for (std::size_t c = 0; c < expected[r].size(); ++c) {
            EXPECT_EQ(parsed_xml::attribute(plain_cells[c], "value"), expected[r][c]);
            const xml_node* data = sheet_cells[c]->first_node("Data");
            EXPECT_EQ(std::string(data->value(), data->value_size()), expected[r][c]);
        }
        // Nine names for eleven cells: the last two cells go without a name.
        EXPECT_EQ(parsed_xml::attribute(plain_cells[7], "name"), "Last");
        EXPECT_EQ(parsed_xml::attribute(plain_cells[8], "name"), "");
    }
}

} // namespace
