#pragma once
// Writers of a table, row by row and cell by cell, into comma-separated values, the program's
// own XML layout or an XML spreadsheet workbook. They receive texts and know nothing of where
// the cells come from. Each export is open, cells and ends of rows, close; an exporter object
// is reused for any number of exports.

#include "core/config/xml_distiller.h"

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <locale>
#include <sstream>
#include <string>
#include <vector>

namespace data {

class data_exporter {
public:
    data_exporter() = default;
    virtual ~data_exporter() = default;
    data_exporter(const data_exporter&) = delete;
    data_exporter& operator=(const data_exporter&) = delete;

    virtual void end_row() = 0;
    // `column` is the 1-based position of the cell in its row.
    virtual void write_cell(const std::string& value, std::size_t column) = 0;
    virtual bool open();
    // True only when the whole file reached the disk, so a failed export isn't reported as done.
    virtual bool close();

    // Writes the value as the next cell of the current row.
    template <typename T>
    data_exporter& operator<<(const T& value)
    {
        ++column_count_;
        write_cell(cell_text(value), column_count_);
        return *this;
    }

    std::string file_name() const { return file_name_; }
    void set_file_name(const std::string& file_name) { file_name_ = file_name; }
    const std::vector<std::string>& column_names() const { return column_names_; }
    void set_column_names(const std::vector<std::string>& column_names) { column_names_ = column_names; }
    // The format-name table, indexed by format code: "CSV", "XML", "DB", "EXCEL". "DB" has no
    // exporter; the export command copies the catalogue database for it.
    static const std::vector<std::string>& format_names();
    // This exporter's entry: "CSV", "XML" or "EXCEL".
    std::string format_name() const;

protected:
    explicit data_exporter(std::int32_t format_code) : format_code_(format_code) {}

    // Texts, what the export command sends for every cell, skip the stream a number needs.
    static const std::string& cell_text(const std::string& value) { return value; }
    static std::string cell_text(const char* value) { return value ? value : ""; }
    template <typename T>
    static std::string cell_text(const T& value)
    {
        std::ostringstream text;
        text.imbue(std::locale::classic());
        text << value;
        return text.str();
    }

    std::int32_t format_code_ = -1;
    std::vector<std::string> column_names_;
    std::uint64_t column_count_ = 0;
    std::string file_name_;
    std::ofstream output_;
};

// A field holding the separator, a double quote, a carriage return or a line feed is written in
// double quotes with its quotes doubled; any other field goes out unchanged.
class csv_exporter : public data_exporter {
public:
    csv_exporter() : data_exporter(0) {}

    void end_row() override;
    void write_cell(const std::string& value, std::size_t column) override;
    bool open() override;

    const std::string& separator() const { return separator_; }
    void set_separator(const std::string& separator) { separator_ = separator; }
    const std::string& line_end() const { return line_end_; }
    void set_line_end(const std::string& line_end) { line_end_ = line_end; }
    bool header() const { return header_; }
    void set_header(bool header) { header_ = header; }

private:
    std::string separator_ = ",";
    std::string line_end_ = "\n";
    bool header_ = false;
};

// The two XML formats build the whole output in a document and write it on close. Tab, CR and
// LF in a text are written as character references; what XML can't hold (control characters,
// broken UTF-8) as U+FFFD, so the file always parses.
class document_exporter : public data_exporter {
public:
    void end_row() override;
    bool close() override;

protected:
    document_exporter(std::int32_t format_code, const char* column_count_attribute, const char* row_count_attribute)
        : data_exporter(format_code)
        , column_count_attribute_(column_count_attribute)
        , row_count_attribute_(row_count_attribute)
    {
    }

    // Starts a new document for the file name with the given root element.
    xml_distiller::node* start_document(const std::string& root_name);
    // A first cell starts a new row, and so does any cell after an end of row. Throws
    // std::logic_error when no export is open.
    bool starts_row(std::size_t column) const;

    xml_distiller document_;
    xml_distiller::node* table_node_ = nullptr;
    xml_distiller::node* current_row_ = nullptr;
    std::uint64_t widest_row_ = 0;
    std::uint64_t rows_ended_ = 0;

private:
    const char* column_count_attribute_ = "";
    const char* row_count_attribute_ = "";
};

class xml_exporter : public document_exporter {
public:
    xml_exporter() : document_exporter(1, "ColumnCount", "RowCount") {}

    void write_cell(const std::string& value, std::size_t column) override;
    bool open() override;

    // Off: each value is the text of its Data element instead of its "value" attribute.
    bool values_as_attributes() const { return values_as_attributes_; }
    void set_values_as_attributes(bool on) { values_as_attributes_ = on; }

private:
    bool values_as_attributes_ = true;
};

class excel_exporter : public document_exporter {
public:
    excel_exporter() : document_exporter(3, "ss:ExpandedColumnCount", "ss:ExpandedRowCount") {}

    void write_cell(const std::string& value, std::size_t column) override;
    bool open() override;
};

} // namespace data
