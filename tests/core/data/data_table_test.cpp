#include "core/data/data_table.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

namespace {

using notification = std::tuple<std::uint64_t, std::uint64_t, int>;

// Records every change the table sends.
struct listener {
    explicit listener(data::data_table& table)
    {
        table.on_change = [this](const std::uint64_t& row, const std::uint64_t& column, const data::change_type& kind) {
            received.emplace_back(row, column, static_cast<int>(kind));
        };
    }
    std::vector<notification> received;
};

void fill(data::data_table& table, int count)
{
    const bool was = table.notify;
    table.notify = false;
    for (int i = 1; i <= count; ++i)
        table.add_row_values({"r" + std::to_string(i), std::to_string(i * 10)});
    table.notify = was;
}

std::vector<std::string> first_cells(data::data_table& table)
{
    std::vector<std::string> cells;
    for (auto& row : table)
        cells.push_back(row.cell(1));
    return cells;
}

template <typename Call>
std::string error_text(Call call)
{
    try {
        call();
    } catch (const std::exception& error) {
        return error.what();
    }
    return "no exception";
}

TEST(data_table, set_column_names_columns_and_first_key_wins)
{
    data::data_table table;
    EXPECT_FALSE(table.set_column(0, "zero", "Zero"));
    EXPECT_FALSE(table.set_column(12, "twelve", "Twelve"));
    EXPECT_TRUE(table.set_column(11, "kind", "Kind"));

    EXPECT_TRUE(table.set_column(3, "file_name", ""));
    EXPECT_EQ(table.column_headings[2], "file_name");
    EXPECT_EQ(table.column_keys[2], "file_name");

    EXPECT_TRUE(table.set_column(5, "file_name", "Again"));
    EXPECT_EQ(table.column_index("file_name"), 3u);
    EXPECT_EQ(table.column_headings[4], "Again");

    // A renamed column keeps answering to its old key.
    EXPECT_TRUE(table.set_column(11, "difference", ""));
    EXPECT_EQ(table.column_index("kind"), 11u);
    EXPECT_EQ(table.column_index("difference"), 11u);

    EXPECT_EQ(error_text([&] { table.column_index("size"); }), "Column size does not exist");
}

TEST(data_table, removing_a_middle_row_renumbers_the_rest_and_notifies_once)
{
    data::data_table table;
    fill(table, 5);
    listener events(table);

    EXPECT_TRUE(table.remove_row(2));
    EXPECT_EQ(first_cells(table), (std::vector<std::string>{"r1", "r3", "r4", "r5"}));
    for (std::size_t i = 0; i < table.rows.size(); ++i)
        EXPECT_EQ(table.rows[i]->number, i + 1);
    EXPECT_EQ(events.received, (std::vector<notification>{{2, 0, 1}}));
}

TEST(data_table, removing_the_last_row_and_bad_rows)
{
    data::data_table table;
    fill(table, 3);
    listener events(table);

    EXPECT_FALSE(table.remove_row(0));
    EXPECT_FALSE(table.remove_row(4));
    EXPECT_TRUE(events.received.empty());

    EXPECT_TRUE(table.remove_row(3));
    EXPECT_EQ(first_cells(table), (std::vector<std::string>{"r1", "r2"}));
    EXPECT_EQ(table.rows[1]->number, 2u);
    EXPECT_TRUE(table.remove_row(1));
    EXPECT_TRUE(table.remove_row(1));
    EXPECT_TRUE(table.rows.empty());
    EXPECT_EQ(events.received, (std::vector<notification>{{3, 0, 1}, {1, 0, 1}, {1, 0, 1}}));
}

TEST(data_table, set_cell_stores_stream_text_and_notifies_with_row_and_column)
{
    data::data_table table;
    fill(table, 2);
    listener events(table);
    data::data_row& row = *table.rows[1];

    EXPECT_TRUE(row.set_cell(4, std::uint64_t(5368709120)));
    EXPECT_TRUE(row.set_cell(5, -7));
    EXPECT_TRUE(row.set_cell(6, std::string(" keep  blanks ")));
    EXPECT_TRUE(row.set_cell(7, "text"));
    EXPECT_FALSE(row.set_cell(0, "x"));
    EXPECT_FALSE(row.set_cell(12, "x"));

    EXPECT_EQ(row.cell(4), "5368709120");
    EXPECT_EQ(row.cell(5), "-7");
    EXPECT_EQ(row.cell(6), " keep  blanks ");
    EXPECT_EQ(row.cell(7), "text");
    EXPECT_EQ(events.received, (std::vector<notification>{{2, 4, 2}, {2, 5, 2}, {2, 6, 2}, {2, 7, 2}}));
}

TEST(data_table, add_row_values_drops_values_past_the_eleventh)
{
    data::data_table table;
    listener events(table);
    std::vector<std::string> values;
    for (int i = 1; i <= 13; ++i)
        values.push_back("v" + std::to_string(i));

    data::data_row* row = table.add_row_values(values);
    EXPECT_EQ(row->number, 1u);
    EXPECT_EQ(row->owner, &table);
    EXPECT_EQ(row->size(), 11u);
    EXPECT_EQ(row->cell(11), "v11");
    EXPECT_EQ(events.received.size(), 11u);
    EXPECT_EQ(events.received.back(), notification(1, 11, 2));
}

TEST(data_table, bulk_change_notifies_once_at_end_update)
{
    data::data_table table;
    fill(table, 4);
    listener events(table);

    table.notify = false;
    table.clear();
    fill(table, 3);
    table.rows[0]->set_cell(2, "changed");
    table.remove_row(3);
    EXPECT_TRUE(events.received.empty());
    EXPECT_EQ(table.shown_rows, 0u);

    table.end_update();
    EXPECT_TRUE(table.notify);
    EXPECT_EQ(table.shown_rows, 2u);
    EXPECT_EQ(events.received, (std::vector<notification>{{0, 0, 3}}));
}

TEST(data_table, clear_empties_keeps_room_and_notifies_when_allowed)
{
    data::data_table table;
    fill(table, 150);
    table.end_update();
    listener events(table);
    const auto room = table.rows.capacity();

    table.clear();
    EXPECT_TRUE(table.rows.empty());
    EXPECT_EQ(table.rows.capacity(), room);
    EXPECT_EQ(table.shown_rows, 0u);
    EXPECT_EQ(events.received, (std::vector<notification>{{0, 0, 1}}));

    // Without a callback nothing is called at all.
    table.on_change = nullptr;
    fill(table, 2);
    table.clear();
    table.end_update();
    EXPECT_EQ(table.shown_rows, 0u);
}

TEST(data_table, room_grows_by_100_rows_then_by_half_the_rows_held)
{
    data::data_table table;
    EXPECT_EQ(table.rows.capacity(), 100u);
    fill(table, 100);
    EXPECT_EQ(table.rows.capacity(), 100u);
    data::data_row* row = table.add_row();
    EXPECT_EQ(table.rows.capacity(), 200u);
    EXPECT_EQ(row->number, 101u);
    EXPECT_EQ(row->size(), 11u);
    fill(table, 100);
    EXPECT_EQ(table.rows.capacity(), 300u);
}

TEST(data_table, filling_a_large_table_regrows_its_room_only_a_few_times)
{
    data::data_table table;
    std::size_t regrowths = 0;
    auto room = table.rows.capacity();
    for (int row = 0; row < 300000; ++row) {
        table.add_row();
        if (table.rows.capacity() != room) {
            ++regrowths;
            room = table.rows.capacity();
        }
    }
    EXPECT_EQ(table.rows.size(), 300000u);
    EXPECT_LT(regrowths, 30u);
    EXPECT_EQ(table.rows.back()->number, 300000u);
}

TEST(data_table, iterator_walks_rows_and_reports_misuse)
{
    data::data_table table;
    fill(table, 3);
    EXPECT_EQ(first_cells(table), (std::vector<std::string>{"r1", "r2", "r3"}));

    auto it = table.begin();
    EXPECT_EQ(it->number, 1u);
    EXPECT_EQ((it++)->cell(1), "r1");
    EXPECT_EQ((*it).cell(1), "r2");
    EXPECT_TRUE(it != table.end());

    EXPECT_EQ(error_text([&] { *table.end(); }), "Iterator out of bound");
    EXPECT_EQ(error_text([] { *data::data_table::iterator(); }), "Iterator not initialised");

    data::data_table empty;
    EXPECT_TRUE(empty.begin() == empty.end());
}

TEST(data_table, get_reads_cells_by_key_or_column_as_the_asked_type)
{
    data::data_table table;
    table.set_column(1, "file_name", "Name");
    table.set_column(2, "file_size", "Size");
    data::data_row& row = *table.add_row_values({" a b.txt", "5368709120"});

    EXPECT_EQ(row.get("file_name", ""), " a b.txt");
    EXPECT_EQ(row.get<std::string>("file_name", "unused"), " a b.txt");
    EXPECT_EQ(row.get<std::uint64_t>("file_size", 0), 5368709120u);
    EXPECT_EQ(row.get<std::int64_t>(std::size_t(2), -1), 5368709120);
    EXPECT_EQ(row.get<int>("file_name", -1), -1);
    EXPECT_EQ(row.get<int>(std::size_t(3), 42), 42);  // empty cell
    EXPECT_EQ(error_text([&] { row.get<int>("nothing", 0); }), "Column nothing does not exist");
    EXPECT_EQ(error_text([&] { row.cell(0); }), "Index out of bound");
    EXPECT_EQ(error_text([&] { row.get(std::size_t(12), ""); }), "Index out of bound");
}

TEST(data_table, copied_row_keeps_cells_number_and_owner)
{
    data::data_table table;
    table.set_column(1, "file_name", "");
    fill(table, 2);
    data::data_row copy = *table.rows[1];
    table.clear();

    EXPECT_EQ(copy.cell(1), "r2");
    EXPECT_EQ(copy.number, 2u);
    EXPECT_EQ(copy.owner, &table);
    EXPECT_EQ(copy.get("file_name", ""), "r2");

    data::data_row orphan = copy;
    orphan.owner = nullptr;
    EXPECT_TRUE(orphan.set_cell(1, "free"));
    EXPECT_EQ(orphan.get(std::size_t(1), ""), "free");
    EXPECT_EQ(error_text([&] { orphan.get("file_name", ""); }), "Parent table non initialised");
}

} // namespace
