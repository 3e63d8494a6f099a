#include "core/data/data_table.h"

#include <algorithm>

#include <stdexcept>
#include <utility>

namespace data {

data_row::data_row(data_table* owner, std::size_t cell_count, std::uint64_t number)
    : cells(cell_count), number(number), owner(owner)
{
}

std::string& data_row::cell(std::size_t column)
{
    if (column == 0 || column > cells.size())
        throw std::runtime_error("Index out of bound");
    return cells[column - 1];
}

const std::string& data_row::cell(std::size_t column) const
{
    if (column == 0 || column > cells.size())
        throw std::runtime_error("Index out of bound");
    return cells[column - 1];
}

bool data_row::set_cell(std::size_t column, const std::string& value)
{
    if (column == 0 || column > cells.size())
        return false;
    cells[column - 1] = value;
    if (owner)
        owner->send_change(number, column, cell_changed);
    return true;
}

std::size_t data_row::key_column(const std::string& key) const
{
    if (!owner)
        throw std::runtime_error("Parent table non initialised");
    return owner->column_index(key);
}

data_row& data_table::iterator::operator*() const
{
    if (!table_)
        throw std::runtime_error("Iterator not initialised");
    if (index_ >= table_->rows.size())
        throw std::runtime_error("Iterator out of bound");
    return *table_->rows[index_];
}

data_table::data_table()
{
    rows.reserve(100);
}

data_table::~data_table()
{
    for (data_row* row : rows)
        delete row;
}

bool data_table::set_column(std::size_t index, const std::string& key, const std::string& heading)
{
    if (index == 0 || index > column_keys.size())
        return false;
    column_keys[index - 1] = key;
    column_headings[index - 1] = heading.empty() ? key : heading;
    column_map.emplace(key, index);
    return true;
}

std::size_t data_table::column_index(const std::string& key) const
{
    const auto found = column_map.find(key);
    if (found == column_map.end())
        throw std::runtime_error("Column " + key + " does not exist");
    return found->second;
}

data_row* data_table::add_row()
{
    // Room grows by 100 rows at first, then by half the rows held: steps of 100 alone made
    // filling a large table quadratic (a first comparison against an empty backup of a million
    // files spent a minute and a half here).
    if (rows.size() == rows.capacity())
        rows.reserve(rows.size() + std::max<std::size_t>(100, rows.size() / 2));
    auto* row = new data_row(this, column_keys.size(), rows.size() + 1);
    rows.push_back(row);
    return row;
}

data_row* data_table::add_row_values(const std::vector<std::string>& values)
{
    data_row* row = add_row();
    for (std::size_t column = 1; column <= values.size(); ++column)
        row->set_cell(column, values[column - 1]);
    return row;
}

bool data_table::remove_row(std::uint64_t number)
{
    if (number == 0 || number > rows.size())
        return false;
    for (std::size_t index = number - 1; index + 1 < rows.size(); ++index) {
        std::swap(rows[index], rows[index + 1]);
        rows[index]->number = index + 1;
    }
    delete rows.back();
    rows.pop_back();
    send_change(number, 0, row_removed);
    return true;
}

void data_table::clear()
{
    for (data_row* row : rows)
        delete row;
    rows.clear();
    shown_rows = 0;
    send_change(0, 0, row_removed);
}

void data_table::end_update()
{
    notify = true;
    shown_rows = rows.size();
    if (on_change)
        on_change(0, 0, table_changed);
}

void data_table::send_change(std::uint64_t row, std::uint64_t column, change_type kind) const
{
    if (on_change && notify)
        on_change(row, column, kind);
}

} // namespace data
