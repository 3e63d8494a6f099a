// The exporters: rows of arbitrary texts through CSV, the program's XML and the workbook. The
// CSV file holds exactly the texts written; both XML files parse again with the same rows and
// cells and the same texts in them.
#include "fuzz_support.h"

#include "core/config/xml_distiller.h"
#include "core/data/data_exporter.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using node = xml_distiller::node;
using table = std::vector<std::vector<std::string>>;

// Whether XML 1.0 can carry the text as it is: well-formed UTF-8 of characters the standard
// allows. Other texts come back with U+FFFD where XML has no place for a byte.
bool xml_can_hold(const std::string& text)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char lead = bytes[i];
        std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
        if (length == 0 || i + length > text.size())
            return false;
        std::uint32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            if ((bytes[i + k] & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (bytes[i + k] & 0x3F);
        }
        const std::uint32_t shortest[] = { 0, 0, 0x80, 0x800, 0x10000 };
        if (code < shortest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF) || code == 0xFFFE ||
            code == 0xFFFF || (code < 0x20 && code != '\t' && code != '\n' && code != '\r'))
            return false;
        i += length;
    }
    return true;
}

// What came back equals what went in where XML can hold that; elsewhere it is at least a text
// XML can hold.
bool kept(const std::string& read, const std::string& written)
{
    return xml_can_hold(written) ? read == written : xml_can_hold(read);
}

std::string attribute(const node* element, const char* name)
{
    const auto* found = element->first_attribute(name);
    return found ? std::string(found->value(), found->value_size()) : std::string("(missing)");
}

std::vector<const node*> children(const node* parent, const char* name)
{
    std::vector<const node*> found;
    for (const node* child = parent ? parent->first_node(name) : nullptr; child; child = child->next_sibling(name))
        found.push_back(child);
    return found;
}

// The parser drops a text of blanks alone before a closing tag; any other text comes back whole.
bool same_text(const std::string& read, const std::string& written)
{
    if (written.find_first_not_of(' ') == std::string::npos)
        return read.empty() || read == written;
    return kept(read, written);
}

const node* load_table(xml_distiller& document, const std::string& file, const std::vector<const char*>& path)
{
    FUZZ_CHECK(document.load(file), "an exported file parses again: " + document.last_error());
    const node* current = &document.document();
    for (const char* step : path) {
        current = current->first_node(step);
        FUZZ_CHECK(current != nullptr, std::string("the export has its ") + step + " element");
    }
    return current;
}

// A field as a CSV reader takes it back: in double quotes (inner ones doubled) when it holds the
// separator, a double quote or a line break, else as it is.
std::string csv_field(const std::string& value, const std::string& separator)
{
    const bool quoted = value.find_first_of("\"\r\n") != std::string::npos
                        || (!separator.empty() && value.find(separator) != std::string::npos);
    if (!quoted)
        return value;
    std::string field = "\"";
    for (const char c : value)
        field += c == '"' ? std::string("\"\"") : std::string(1, c);
    return field + "\"";
}

void check_csv(const table& rows, const std::vector<std::string>& names, const std::string& separator,
               const std::string& line_end, bool header)
{
    const std::string file = fuzz_support::scratch().file("export.csv");
    data::csv_exporter exporter;
    exporter.set_file_name(file);
    exporter.set_column_names(names);
    exporter.set_separator(separator);
    exporter.set_line_end(line_end);
    exporter.set_header(header);
    FUZZ_CHECK(exporter.open(), "the CSV file opens");
    std::string expected;
    if (header && !names.empty()) {
        for (std::size_t i = 0; i < names.size(); ++i)
            expected += csv_field(names[i], separator) + (i + 1 < names.size() ? separator : line_end);
    }
    for (const auto& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            exporter << row[i];
            expected += (i > 0 ? separator : std::string()) + csv_field(row[i], separator);
        }
        exporter.end_row();
        expected += line_end;
    }
    FUZZ_CHECK(exporter.close(), "the CSV export closes");
    FUZZ_CHECK(fuzz_support::scratch_folder::read(file) == expected, "the CSV file holds what was written");
}

void check_xml(const table& rows, const std::vector<std::string>& names, std::size_t widest)
{
    const std::string file = fuzz_support::scratch().file("export.xml");
    data::xml_exporter exporter;
    exporter.set_file_name(file);
    exporter.set_column_names(names);
    FUZZ_CHECK(exporter.open(), "the XML export opens");
    for (const auto& row : rows) {
        for (const std::string& cell : row)
            exporter << cell;
        exporter.end_row();
    }
    FUZZ_CHECK(exporter.close(), "the XML export closes");

    xml_distiller document;
    const node* table_node = load_table(document, file, { "Table" });
    FUZZ_CHECK(attribute(table_node, "RowCount") == std::to_string(rows.size()), "RowCount");
    FUZZ_CHECK(attribute(table_node, "ColumnCount") == std::to_string(widest), "ColumnCount");
    const auto row_nodes = children(table_node, "Row");
    FUZZ_CHECK(row_nodes.size() == rows.size(), "the XML export has every row");
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const auto cells = children(row_nodes[r], "Data");
        FUZZ_CHECK(cells.size() == rows[r].size(), "an XML row has every cell");
        for (std::size_t c = 0; c < cells.size(); ++c) {
            FUZZ_CHECK(kept(attribute(cells[c], "value"), rows[r][c]), "an XML cell keeps its text: " + rows[r][c]);
            const std::string name = c + 1 < names.size() ? names[c + 1] : std::string();
            FUZZ_CHECK(kept(attribute(cells[c], "name"), name), "an XML cell keeps its column name: " + name);
        }
    }
}

void check_workbook(const table& rows, std::size_t widest)
{
    const std::string file = fuzz_support::scratch().file("export-workbook.xml");
    data::excel_exporter exporter;
    exporter.set_file_name(file);
    FUZZ_CHECK(exporter.open(), "the workbook export opens");
    for (const auto& row : rows) {
        for (const std::string& cell : row)
            exporter << cell;
        exporter.end_row();
    }
    FUZZ_CHECK(exporter.close(), "the workbook export closes");

    xml_distiller document;
    const node* table_node = load_table(document, file, { "Workbook", "Worksheet", "Table" });
    FUZZ_CHECK(attribute(table_node, "ss:ExpandedRowCount") == std::to_string(rows.size()), "ExpandedRowCount");
    FUZZ_CHECK(attribute(table_node, "ss:ExpandedColumnCount") == std::to_string(widest), "ExpandedColumnCount");
    const auto row_nodes = children(table_node, "Row");
    FUZZ_CHECK(row_nodes.size() == rows.size(), "the workbook has every row");
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const auto cells = children(row_nodes[r], "Cell");
        FUZZ_CHECK(cells.size() == rows[r].size(), "a workbook row has every cell");
        for (std::size_t c = 0; c < cells.size(); ++c) {
            const node* data = cells[c]->first_node("Data");
            FUZZ_CHECK(data != nullptr, "a workbook cell has its data");
            const std::string text(data->value(), data->value_size());
            FUZZ_CHECK(same_text(text, rows[r][c]), "a workbook cell keeps its text: " + rows[r][c]);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const std::string separator = input.ConsumeBool() ? ";" : input.ConsumeRandomLengthString(3);
    const std::string line_end = input.ConsumeBool() ? "\r\n" : "\n";
    const bool header = input.ConsumeBool();
    std::vector<std::string> names(input.ConsumeIntegralInRange<std::size_t>(0, 12));
    for (std::string& name : names)
        name = input.ConsumeRandomLengthString(24);
    table rows(input.ConsumeIntegralInRange<std::size_t>(1, 8));
    std::size_t widest = 0;
    for (auto& row : rows) {
        row.resize(input.ConsumeIntegralInRange<std::size_t>(1, 12));
        widest = std::max(widest, row.size());
        for (std::string& cell : row)
            cell = input.ConsumeRandomLengthString(64);
    }

    check_csv(rows, names, separator, line_end, header);
    check_xml(rows, names, widest);
    check_workbook(rows, widest);
    return 0;
}
