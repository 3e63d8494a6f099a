#include "core/data/data_exporter.h"

#include <algorithm>
#include <stdexcept>

namespace data {

namespace {

const char* const format_names[] = { "CSV", "XML", "DB", "EXCEL" };

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

} // namespace

std::string data_exporter::format_name() const
{
    constexpr std::int32_t count = sizeof(format_names) / sizeof(format_names[0]);
    return format_code_ >= 0 && format_code_ < count ? format_names[format_code_] : "";
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
    const bool saved = document_.save();
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
        document_.append_attribute(cell, "name", name);
        document_.append_attribute(cell, "value", value);
    } else {
        xml_distiller::node* cell = document_.append_element(current_row_, "Data", value);
        document_.append_attribute(cell, "name", name);
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
    xml_distiller::node* data = document_.append_element(cell, "Data", value);
    document_.append_attribute(data, "ss:Type", "String");
}

} // namespace data
