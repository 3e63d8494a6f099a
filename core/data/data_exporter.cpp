#include "core/data/data_exporter.h"

#include <algorithm>
#include <stdexcept>

namespace data {

namespace {

// A file name holding a comma (or a quote or a line break) would otherwise split its row.
std::string csv_field(const std::string& value, const std::string& separator)
{
    const bool needs_quotes = value.find_first_of("\"\r\n") != std::string::npos ||
                              (!separator.empty() && value.find(separator) != std::string::npos);
    if (!needs_quotes)
        return value;
    std::string quoted = "\"";
    for (const char c : value) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

// The printer escapes markup but writes tab, CR and LF as they are, and readers turn them into
// spaces (in attributes) or a line feed (CR). They travel as these stand-ins, which nothing else
// in a cleaned text can be, and become character references once the document is printed.
const char tab_stand_in = '\x01';
const char cr_stand_in = '\x02';
const char lf_stand_in = '\x03';
const char replacement_character[] = "\xEF\xBF\xBD";

// The length of the UTF-8 sequence at `text`, 0 when it is broken (one byte is then replaced);
// `allowed` tells whether XML 1.0 may hold the character.
std::size_t utf8_length(const unsigned char* text, std::size_t left, bool& allowed)
{
    const unsigned char lead = text[0];
    if (lead < 0x80) {
        allowed = lead >= 0x20 || lead == '\t' || lead == '\n' || lead == '\r';
        return 1;
    }
    const std::size_t length = lead >= 0xC2 && lead <= 0xDF ? 2 : (lead >= 0xE0 && lead <= 0xEF) ? 3
        : (lead >= 0xF0 && lead <= 0xF4)                                                        ? 4
                                                                                                : 0;
    if (length == 0 || length > left)
        return 0;
    std::uint32_t code = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((text[i] & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (text[i] & 0x3F);
    }
    const std::uint32_t shortest[] = { 0, 0, 0x80, 0x800, 0x10000 };
    if (code < shortest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    allowed = code != 0xFFFE && code != 0xFFFF;
    return length;
}

// A cell text as an XML file can hold it: a character XML can't hold (a control character,
// U+FFFE) and every byte of broken UTF-8 become U+FFFD, so the file parses and the other cells
// survive; tab, CR and LF become their stand-ins.
std::string xml_cell_text(const std::string& value)
{
    std::string text;
    text.reserve(value.size());
    const auto* bytes = reinterpret_cast<const unsigned char*>(value.data());
    for (std::size_t i = 0; i < value.size();) {
        bool allowed = false;
        const std::size_t length = utf8_length(bytes + i, value.size() - i, allowed);
        if (!allowed) {
            text += replacement_character;
            i += length == 0 ? 1 : length;
            continue;
        }
        const char c = value[i];
        text += c == '\t' ? tab_stand_in : c == '\r' ? cr_stand_in : c == '\n' ? lf_stand_in : c;
        text.append(value, i + 1, length - 1);
        i += length;
    }
    return text;
}

// Stand-ins of the printed document turned into character references.
std::string with_character_references(const std::string& printed)
{
    std::string text;
    text.reserve(printed.size());
    for (const char c : printed) {
        if (c == tab_stand_in)
            text += "&#9;";
        else if (c == cr_stand_in)
            text += "&#13;";
        else if (c == lf_stand_in)
            text += "&#10;";
        else
            text += c;
    }
    return text;
}

} // namespace

const std::vector<std::string>& data_exporter::format_names()
{
    static const std::vector<std::string> names = { "CSV", "XML", "DB", "EXCEL" };
    return names;
}

std::string data_exporter::format_name() const
{
    const std::vector<std::string>& names = format_names();
    return format_code_ >= 0 && static_cast<std::size_t>(format_code_) < names.size()
        ? names[static_cast<std::size_t>(format_code_)]
        : std::string();
}

bool data_exporter::open()
{
    // A row left unfinished by an abandoned export must not shift the next export's cells.
    column_count_ = 0;
    if (output_.is_open())
        output_.close();
    output_.open(file_name_, std::ios::out | std::ios::trunc);
    if (output_.is_open())
        output_.clear();
    else
        output_.setstate(std::ios::failbit);
    return output_.good();
}

bool data_exporter::close()
{
    if (!output_.is_open()) {
        output_.setstate(std::ios::failbit);
        return false;
    }
    output_.flush();
    const bool flushed = output_.good();
    output_.close();
    return flushed && !output_.fail();
}

bool csv_exporter::open()
{
    if (!data_exporter::open())
        return false;
    if (header_ && !column_names_.empty()) {
        for (std::size_t i = 0; i < column_names_.size(); ++i) {
            output_ << csv_field(column_names_[i], separator_);
            output_ << (i + 1 < column_names_.size() ? separator_ : line_end_);
        }
    }
    return true;
}

void csv_exporter::write_cell(const std::string& value, std::size_t column)
{
    if (column > 1)
        output_ << separator_;
    output_ << csv_field(value, separator_);
}

void csv_exporter::end_row()
{
    output_ << line_end_;
    column_count_ = 0;
}

xml_distiller::node* document_exporter::start_document(const std::string& root_name)
{
    column_count_ = 0;
    widest_row_ = 0;
    rows_ended_ = 0;
    current_row_ = nullptr;
    return document_.create_document(file_name_, root_name);
}

bool document_exporter::starts_row(std::size_t column) const
{
    if (!table_node_)
        throw std::logic_error(format_name() + " export: a cell was written before open or after close");
    return column == 1 || !current_row_;
}

void document_exporter::end_row()
{
    widest_row_ = std::max(widest_row_, column_count_);
    ++rows_ended_;
    column_count_ = 0;
    current_row_ = nullptr;
}

bool document_exporter::close()
{
    if (!table_node_)
        return false;
    document_.append_attribute(table_node_, column_count_attribute_, std::to_string(widest_row_));
    document_.append_attribute(table_node_, row_count_attribute_, std::to_string(rows_ended_));
    const bool saved = document_.save_text(with_character_references(document_.print()));
    // The document of a large table is big; it is not kept until the next export.
    document_.clear();
    table_node_ = nullptr;
    current_row_ = nullptr;
    return saved;
}

bool xml_exporter::open()
{
    table_node_ = start_document("Table");
    return true;
}

void xml_exporter::write_cell(const std::string& value, std::size_t column)
{
    if (starts_row(column)) {
        current_row_ = document_.append_element(table_node_, "Row");
        document_.append_attribute(current_row_, "Count", std::to_string(rows_ended_ + 1));
    }
    // The first cell takes the second name: the list's first name belongs to no cell. Cells
    // beyond the list get an empty name instead of a read past its end.
    const std::string name = column < column_names_.size() ? column_names_[column] : std::string();
    if (values_as_attributes_) {
        xml_distiller::node* cell = document_.append_element(current_row_, "Data");
        document_.append_attribute(cell, "name", xml_cell_text(name));
        document_.append_attribute(cell, "value", xml_cell_text(value));
    } else {
        xml_distiller::node* cell = document_.append_element(current_row_, "Data", xml_cell_text(value));
        document_.append_attribute(cell, "name", xml_cell_text(name));
    }
}

bool excel_exporter::open()
{
    xml_distiller::node* workbook = start_document("Workbook");
    document_.append_attribute(workbook, "xmlns", "urn:schemas-microsoft-com:office:spreadsheet");
    document_.append_attribute(workbook, "xmlns:o", "urn:schemas-microsoft-com:office:office");
    document_.append_attribute(workbook, "xmlns:x", "urn:schemas-microsoft-com:office:excel");
    document_.append_attribute(workbook, "xmlns:ss", "urn:schemas-microsoft-com:office:spreadsheet");
    document_.append_attribute(workbook, "xmlns:html", "http://www.w3.org/TR/REC-html40");
    xml_distiller::node* worksheet = document_.append_element(workbook, "Worksheet");
    document_.append_attribute(worksheet, "ss:Name", "Sheet1");
    table_node_ = document_.append_element(worksheet, "Table");
    document_.append_attribute(table_node_, "x:FullColumns", "1");
    document_.append_attribute(table_node_, "x:FullRows", "1");
    return true;
}

void excel_exporter::write_cell(const std::string& value, std::size_t column)
{
    if (starts_row(column))
        current_row_ = document_.append_element(table_node_, "Row");
    xml_distiller::node* cell = document_.append_element(current_row_, "Cell");
    xml_distiller::node* data = document_.append_element(cell, "Data", xml_cell_text(value));
    document_.append_attribute(data, "ss:Type", "String");
}

} // namespace data
