#pragma once
// The table of differences shared by the catalogue, the data grid and the exporters: eleven
// named text columns and any number of rows. Rows, columns and cells are numbered from 1.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

namespace data {

enum change_type : std::int32_t {
    row_removed = 1,
    cell_changed = 2,
    table_changed = 3,
};

class data_table;

class data_row {
public:
    data_row() = default;
    data_row(data_table* owner, std::size_t cell_count, std::uint64_t number);
    data_row(const data_row&) = default;
    data_row& operator=(const data_row&) = default;
    virtual ~data_row() = default;

    std::size_t size() const { return cells.size(); }

    // Throws std::runtime_error("Index out of bound") for column 0 or past the last cell.
    std::string& cell(std::size_t column);
    const std::string& cell(std::size_t column) const;

    // Stores the text a standard output stream writes for the value; false for a bad column.
    bool set_cell(std::size_t column, const std::string& value);
    bool set_cell(std::size_t column, const char* value) { return set_cell(column, std::string(value ? value : "")); }
    template <typename T>
    bool set_cell(std::size_t column, const T& value)
    {
        std::ostringstream text;
        text << value;
        return set_cell(column, text.str());
    }

    // A cell read as T: text comes back unchanged; a number the cell doesn't hold gives the
    // default. The key form throws the owner's "Column <key> does not exist" (or "Parent table
    // non initialised" for a row without owner); the column form throws "Index out of bound".
    template <typename T>
    T get(const std::string& key, const T& default_value = T()) const { return convert(cell(key_column(key)), default_value); }
    template <typename T>
    T get(std::size_t column, const T& default_value = T()) const { return convert(cell(column), default_value); }
    std::string get(const std::string& key, const char* /*unused for text*/) const { return cell(key_column(key)); }
    std::string get(std::size_t column, const char* /*unused for text*/) const { return cell(column); }

    std::vector<std::string> cells;
    std::uint64_t number = 0;
    data_table* owner = nullptr;

private:
    std::size_t key_column(const std::string& key) const;

    template <typename T>
    static T convert(const std::string& text, const T& default_value)
    {
        if constexpr (std::is_same_v<T, std::string>) {
            return text;
        } else {
            std::istringstream in(text);
            T value{};
            if (!(in >> value))
                return default_value;
            return value;
        }
    }
};

class data_table {
public:
    using change_callback =
        std::function<void(const std::uint64_t& row, const std::uint64_t& column, const change_type& kind)>;

    static constexpr std::size_t column_count = 11;

    // Walks the rows by 0-based index; equal iterators hold the same index.
    class iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = data_row;
        using difference_type = std::ptrdiff_t;
        using pointer = data_row*;
        using reference = data_row&;

        iterator() = default;
        iterator(data_table* table, std::size_t index) : table_(table), index_(index) {}

        // Throws "Iterator not initialised" without a table, "Iterator out of bound" past the rows.
        data_row& operator*() const;
        data_row* operator->() const { return &**this; }
        iterator& operator++() { ++index_; return *this; }
        iterator operator++(int) { iterator before = *this; ++index_; return before; }
        bool operator==(const iterator& other) const { return index_ == other.index_; }
        bool operator!=(const iterator& other) const { return index_ != other.index_; }

    private:
        data_table* table_ = nullptr;
        std::size_t index_ = 0;
    };

    data_table();
    data_table(const data_table&) = delete;
    data_table& operator=(const data_table&) = delete;
    virtual ~data_table();

    // False for column 0 or past the last column. The first column to take a key keeps it.
    bool set_column(std::size_t index, const std::string& key, const std::string& heading);
    // Throws std::runtime_error("Column " + key + " does not exist").
    std::size_t column_index(const std::string& key) const;

    data_row* add_row();
    data_row* add_row_values(const std::vector<std::string>& values);
    bool remove_row(std::uint64_t number);
    void clear();
    // Turns notifications back on after a bulk change and sends one table_changed.
    void end_update();

    iterator begin() { return iterator(this, 0); }
    iterator end() { return iterator(this, rows.size()); }

    std::vector<std::string> column_keys = std::vector<std::string>(column_count);
    std::vector<std::string> column_headings = std::vector<std::string>(column_count);
    std::vector<data_row*> rows;  // owned
    std::uint64_t shown_rows = 0;
    change_callback on_change;
    bool notify = true;

private:
    friend class data_row;
    void send_change(std::uint64_t row, std::uint64_t column, change_type kind) const;

    std::map<std::string, std::size_t> column_map;
};

} // namespace data
