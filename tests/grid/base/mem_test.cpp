#include "grid/UGCell.h"
#include "grid/UGGridInfo.h"
#include "grid/UGMem.h"

#include "number_settings.h"

#include "platform/base/system_services.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <utility>

namespace {

void Write(CUGMem& mem, int col, int row, const char* text)
{
    CUGCell cell;
    cell.SetTextValue(text);
    ASSERT_EQ(mem.WriteCell(col, row, &cell), 0);
}

std::string Read(CUGMem& mem, int col, int row)
{
    CUGCell cell;
    if (mem.ReadCell(col, row, &cell) != 0)
        return "(none)";
    const char* text = cell.GetDisplayText();
    return text != nullptr ? text : "(no text)";
}

// What the sparse storage must behave like: the written cells, and which positions have nodes
// (rows form one run of indexes, and each row's cells one run that holds column 0).
class StorageModel {
public:
    bool HasRow(int row) const { return m_anyRow && row >= m_firstRow && row <= m_lastRow; }
    bool HasNode(int col, int row) const
    {
        auto span = m_rowSpans.find(row);
        return HasRow(row) && span != m_rowSpans.end() && col >= span->second.first && col <= span->second.second;
    }

    void Write(int col, int row, const std::string& text)
    {
        if (!m_anyRow) {
            m_anyRow = true;
            m_firstRow = m_lastRow = 0;
        }
        m_firstRow = std::min(m_firstRow, row);
        m_lastRow = std::max(m_lastRow, row);
        auto span = m_rowSpans.find(row);
        if (span == m_rowSpans.end())
            m_rowSpans[row] = {std::min(0, col), std::max(0, col)};
        else
            span->second = {std::min(span->second.first, col), std::max(span->second.second, col)};
        m_cells[{row, col}] = text;
    }

    int InsertRow(int row)
    {
        if (!HasRow(row))
            return 1;
        ShiftRows(row, 1);
        ++m_lastRow;
        return 0;
    }

    int RemoveRow(int row)
    {
        if (!HasRow(row))
            return 0;
        m_rowSpans.erase(row);
        for (auto it = m_cells.begin(); it != m_cells.end();)
            it = it->first.first == row ? m_cells.erase(it) : std::next(it);
        ShiftRows(row + 1, -1);
        if (m_firstRow == m_lastRow)
            m_anyRow = false;
        else
            --m_lastRow;
        return 0;
    }

    int InsertColumn(int col)
    {
        if (!m_anyRow || col < 0)
            return 1;
        for (auto& [row, span] : m_rowSpans) {
            if (col < span.first || col > span.second)
                continue;
            ShiftCells(row, col, 1);
            ++span.second;
        }
        return 0;
    }

    int RemoveColumn(int col)
    {
        if (!m_anyRow || col < 0)
            return 1;
        for (auto& [row, span] : m_rowSpans) {
            if (col < span.first || col > span.second)
                continue;
            m_cells.erase({row, col});
            if (col != span.second) {
                ShiftCells(row, col + 1, -1);
                --span.second;
            }
        }
        return 0;
    }

    int RemoveCell(int col, int row)
    {
        if (!HasNode(col, row))
            return 1;
        m_cells.erase({row, col});
        return 0;
    }

    std::string Read(int col, int row) const
    {
        auto it = m_cells.find({row, col});
        return it != m_cells.end() ? it->second : "(none)";
    }

    int RowCount() const { return m_anyRow && m_lastRow >= 0 ? m_lastRow + 1 : 0; }

private:
    void ShiftRows(int fromRow, int delta)
    {
        std::map<int, std::pair<int, int>> spans;
        for (auto& [row, span] : m_rowSpans)
            spans[row >= fromRow ? row + delta : row] = span;
        m_rowSpans.swap(spans);
        std::map<std::pair<int, int>, std::string> cells;
        for (auto& [position, text] : m_cells)
            cells[{position.first >= fromRow ? position.first + delta : position.first, position.second}] = text;
        m_cells.swap(cells);
    }

    void ShiftCells(int row, int fromCol, int delta)
    {
        std::map<std::pair<int, int>, std::string> cells;
        for (auto& [position, text] : m_cells) {
            const bool moves = position.first == row && position.second >= fromCol;
            cells[{position.first, moves ? position.second + delta : position.second}] = text;
        }
        m_cells.swap(cells);
    }

    bool m_anyRow = false;
    int m_firstRow = 0;
    int m_lastRow = 0;
    std::map<int, std::pair<int, int>> m_rowSpans;
    std::map<std::pair<int, int>, std::string> m_cells;
};

int CompareByNumberThenText(CUGCell* first, CUGCell* second, int flags)
{
    if (flags & 2)
        std::swap(first, second);
    const bool firstSet = first->IsPropertySet(UGCELL_TEXT_SET);
    const bool secondSet = second->IsPropertySet(UGCELL_TEXT_SET);
    if (!firstSet || !secondSet)
        return firstSet == secondSet ? 0 : (firstSet ? -1 : 1);
    const double a = first->GetNumber();
    const double b = second->GetNumber();
    return a < b ? -1 : (a > b ? 1 : 0);
}

}  // namespace

TEST(MemorySource, random_operations_match_a_plain_model)
{
    std::mt19937 random(20240601);
    CUGMem mem;
    StorageModel model;
    auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };

    for (int step = 0; step < 20000; ++step) {
        const int col = pick(-2, 12);
        const int row = pick(-2, 40);
        const int operation = pick(0, 99);
        SCOPED_TRACE("step " + std::to_string(step) + " col " + std::to_string(col) + " row " + std::to_string(row));
        if (operation < 40) {
            const std::string text = std::to_string(step);
            Write(mem, col, row, text.c_str());
            model.Write(col, row, text);
        } else if (operation < 70) {
            ASSERT_EQ(Read(mem, col, row), model.Read(col, row));
        } else if (operation < 77) {
            ASSERT_EQ(mem.InsertRow(row), model.InsertRow(row));
        } else if (operation < 84) {
            ASSERT_EQ(mem.RemoveRow(row), model.RemoveRow(row));
        } else if (operation < 88) {
            ASSERT_EQ(mem.InsertColumn(col), model.InsertColumn(col));
        } else if (operation < 92) {
            ASSERT_EQ(mem.RemoveColumn(col), model.RemoveColumn(col));
        } else if (operation < 97) {
            ASSERT_EQ(mem.RemoveCell(col, row), model.RemoveCell(col, row));
        } else if (operation < 99) {
            ASSERT_EQ(mem.GetNumRows(), model.RowCount());
        } else if (pick(0, 9) == 0) {
            mem.RemoveAll();
            model = StorageModel();
        }
    }
    for (int row = -3; row < 45; ++row) {
        for (int col = -3; col < 15; ++col)
            ASSERT_EQ(Read(mem, col, row), model.Read(col, row)) << col << "," << row;
    }
}

TEST(MemorySource, writing_creates_empty_nodes_up_to_the_position)
{
    CUGMem mem;
    CUGCell probe;
    EXPECT_EQ(mem.ReadCell(0, 0, &probe), 1);
    EXPECT_EQ(mem.GetNumRows(), 0);
    EXPECT_EQ(mem.InsertRow(0), 1);
    EXPECT_EQ(mem.InsertColumn(0), 1);
    EXPECT_EQ(mem.RemoveColumn(0), 1);
    EXPECT_EQ(mem.RemoveCell(0, 0), 1);
    EXPECT_EQ(mem.RemoveRow(0), 0);

    Write(mem, 5, 3, "x");
    EXPECT_EQ(mem.ReadCell(4, 3, &probe), 1);
    EXPECT_EQ(mem.RemoveCell(4, 3), 0);
    EXPECT_EQ(mem.RemoveCell(6, 3), 1);
    EXPECT_EQ(mem.RemoveCell(4, 2), 1);
    EXPECT_EQ(mem.InsertRow(2), 0);
    EXPECT_EQ(Read(mem, 5, 4), "x");
    EXPECT_EQ(mem.GetNumRows(), 5);

    // A heading row goes in front without moving row 0.
    Write(mem, 0, 0, "first");
    Write(mem, 0, -1, "heading");
    EXPECT_EQ(Read(mem, 0, 0), "first");
    EXPECT_EQ(Read(mem, 0, -1), "heading");
}

TEST(MemorySource, writing_replaces_the_stored_flags)
{
    CUGMem mem;
    CUGCell cell;
    cell.SetPropertyFlags(0);
    cell.SetTextValue("a");
    cell.SetBackColor(RGB(1, 2, 3));
    cell.SetPropertyFlags(UGCELL_TEXT_SET | UGCELL_BACKCOLOR_SET);
    mem.WriteCell(1, 1, &cell);

    CUGCell textOnly;
    textOnly.SetPropertyFlags(0);
    textOnly.SetTextValue("b");
    textOnly.SetPropertyFlags(UGCELL_TEXT_SET);
    mem.WriteCell(1, 1, &textOnly);

    CUGCell read;
    read.SetPropertyFlags(0);
    ASSERT_EQ(mem.ReadCell(1, 1, &read), 0);
    EXPECT_EQ(read.GetPropertyFlags(), UGCELL_TEXT_SET);
    EXPECT_STREQ(read.GetDisplayText(), "b");
    // The stored back colour no longer counts as set, so a read leaves the reader's own.
    EXPECT_EQ(read.GetBackColor(), GetSysColor(COLOR_WINDOW));
}

TEST(MemorySource, removing_column_zero_keeps_the_row_reachable)
{
    CUGMem mem;
    for (int col = 0; col < 4; ++col)
        Write(mem, col, 0, std::to_string(col).c_str());
    Write(mem, -1, 0, "heading");
    EXPECT_EQ(mem.RemoveColumn(0), 0);
    EXPECT_EQ(Read(mem, 0, 0), "1");
    EXPECT_EQ(Read(mem, 2, 0), "3");
    EXPECT_EQ(Read(mem, -1, 0), "heading");
    EXPECT_EQ(mem.InsertColumn(0), 0);
    EXPECT_EQ(Read(mem, 0, 0), "(none)");
    EXPECT_EQ(Read(mem, 1, 0), "1");
    EXPECT_EQ(Read(mem, -1, 0), "heading");

    // Removing the first row hands its place to the next one.
    Write(mem, 0, 1, "second");
    EXPECT_EQ(mem.RemoveRow(0), 0);
    EXPECT_EQ(Read(mem, 0, 0), "second");
    EXPECT_EQ(mem.RemoveRow(0), 0);
    EXPECT_EQ(mem.GetNumRows(), 0);
    Write(mem, 2, 2, "again");
    EXPECT_EQ(Read(mem, 2, 2), "again");
}

TEST(MemorySource, column_changes_follow_the_grids_column_records)
{
    CUGGridInfo sheet;
    sheet.m_numberCols = 3;
    sheet.m_colInfo = new UGCOLINFO[3];
    sheet.m_colInfo[0].colTranslation = 2;
    sheet.m_colInfo[1].colTranslation = 0;
    sheet.m_colInfo[2].colTranslation = 1;
    CUGMem& mem = *sheet.m_CUGMem;
    for (int col = 0; col < 3; ++col)
        Write(mem, col, 0, std::to_string(col).c_str());

    // Data-source column 2 is shown by grid column 0, so storage column 0 makes room.
    EXPECT_EQ(mem.InsertColumn(2), 0);
    EXPECT_EQ(Read(mem, 0, 0), "(none)");
    EXPECT_EQ(Read(mem, 1, 0), "0");
    EXPECT_EQ(sheet.m_colInfo[0].colTranslation, 3);
    EXPECT_EQ(sheet.m_colInfo[1].colTranslation, 1);
    EXPECT_EQ(sheet.m_colInfo[2].colTranslation, 2);

    EXPECT_EQ(mem.RemoveColumn(1), 0);
    EXPECT_EQ(Read(mem, 1, 0), "1");
    EXPECT_EQ(sheet.m_colInfo[0].colTranslation, 2);
    EXPECT_EQ(sheet.m_colInfo[1].colTranslation, 0);
    EXPECT_EQ(sheet.m_colInfo[2].colTranslation, 1);
}

TEST(MemorySource, sort_orders_many_rows_and_keeps_rows_whole)
{
    CUGMem mem;
    mem.SetCellComparer(CompareByNumberThenText);
    std::mt19937 random(7);
    const int rows = 250;
    for (int row = 0; row < rows; ++row) {
        CUGCell key;
        key.SetNumber(std::uniform_int_distribution<int>(0, 60)(random));
        mem.WriteCell(1, row, &key);
        Write(mem, 0, row, std::to_string(static_cast<int>(key.GetNumber())).c_str());
    }
    Write(mem, 1, -1, "heading");

    ASSERT_EQ(mem.SortByColumn(1, 0), 0);
    double previous = -1;
    for (int row = 0; row < rows; ++row) {
        CUGCell key, label;
        ASSERT_EQ(mem.ReadCell(1, row, &key), 0);
        ASSERT_EQ(mem.ReadCell(0, row, &label), 0);
        EXPECT_GE(key.GetNumber(), previous) << "row " << row;
        EXPECT_EQ(std::to_string(static_cast<int>(key.GetNumber())), label.GetDisplayText());
        previous = key.GetNumber();
    }
    EXPECT_EQ(Read(mem, 1, -1), "heading");
    EXPECT_EQ(mem.GetNumRows(), rows);

    ASSERT_EQ(mem.SortByColumn(1, 2), 0);
    CUGCell first, last;
    mem.ReadCell(1, 0, &first);
    mem.ReadCell(1, rows - 1, &last);
    EXPECT_GE(first.GetNumber(), last.GetNumber());

    CUGMem unsorted;
    Write(unsorted, 0, 0, "x");
    EXPECT_EQ(unsorted.SortByColumn(0, 0), 1);
}

TEST(MemorySource, rows_without_a_key_sort_as_empty_records)
{
    CUGMem mem;
    mem.SetCellComparer(CompareByNumberThenText);
    CUGCell number;
    number.SetNumber(5);
    mem.WriteCell(1, 0, &number);
    Write(mem, 0, 1, "no key");
    number.SetNumber(2);
    mem.WriteCell(1, 2, &number);
    ASSERT_EQ(mem.SortByColumn(1, 0), 0);
    EXPECT_EQ(Read(mem, 1, 0), "2");
    EXPECT_EQ(Read(mem, 1, 1), "5");
    EXPECT_EQ(Read(mem, 0, 2), "no key");
}

TEST(MemorySource, find_searches_forward_backward_and_wraps)
{
    PinnedNumberSettings english(".", ",");
    CUGGridInfo sheet;
    sheet.m_numberCols = 3;
    sheet.m_numberRows = 4;
    CUGMem& mem = *sheet.m_CUGMem;
    Write(mem, 0, 0, "apple");
    Write(mem, 2, 1, "Pineapple");
    Write(mem, 1, 3, "apple pie");
    Write(mem, 2, 3, "grape");
    CUGCell number;
    number.SetNumber(1500);
    mem.WriteCell(1, 2, &number);

    CString apple("apple");
    int col = 0, row = 0;
    ASSERT_EQ(mem.FindFirst(&apple, &col, &row, 8), 0);
    EXPECT_EQ(col, 0);
    EXPECT_EQ(row, 0);
    ASSERT_EQ(mem.FindNext(&apple, &col, &row, 8), 0);  // whole match only: wraps back to itself
    EXPECT_EQ(col, 0);
    EXPECT_EQ(row, 0);

    ASSERT_EQ(mem.FindNext(&apple, &col, &row, 8 | 1), 0);
    EXPECT_EQ(col, 2);
    EXPECT_EQ(row, 1);
    ASSERT_EQ(mem.FindNext(&apple, &col, &row, 8 | 1), 0);
    EXPECT_EQ(col, 1);
    EXPECT_EQ(row, 3);
    ASSERT_EQ(mem.FindNext(&apple, &col, &row, 8 | 1), 0);  // past the end: wraps to the top
    EXPECT_EQ(col, 0);
    EXPECT_EQ(row, 0);

    ASSERT_EQ(mem.FindNext(&apple, &col, &row, 8 | 4 | 1), 0);  // backward from the first cell
    EXPECT_EQ(col, 1);
    EXPECT_EQ(row, 3);

    col = 2;
    row = 3;
    CString upper("APPLE");
    ASSERT_EQ(mem.FindNext(&upper, &col, &row, 8 | 2), 0);
    EXPECT_EQ(col, 0);
    EXPECT_EQ(row, 0);
    EXPECT_EQ(mem.FindNext(&upper, &col, &row, 8), 1);

    // One column only, and numbers are found by the text they show.
    CString shown("1,500");
    col = 1;
    ASSERT_EQ(mem.FindFirst(&shown, &col, &row, 0), 0);
    EXPECT_EQ(col, 1);
    EXPECT_EQ(row, 2);
    CString grape("grape");
    col = 1;
    EXPECT_EQ(mem.FindFirst(&grape, &col, &row, 0), 1);
    CString nowhere("kiwi");
    EXPECT_EQ(mem.FindFirst(&nowhere, &col, &row, 8 | 1), 1);

    sheet.m_numberRows = 1;
    col = 0;
    row = 0;
    EXPECT_EQ(mem.FindNext(&nowhere, &col, &row, 0), 1);
}

TEST(MemorySource, previous_non_blank_column_skips_empty_cells)
{
    CUGMem mem;
    Write(mem, 1, 0, "left");
    Write(mem, 4, 0, "");
    CUGCell empty;
    mem.WriteCell(3, 0, &empty);
    int col = 5;
    EXPECT_EQ(mem.GetPrevNonBlankCol(&col, 0), 0);
    EXPECT_EQ(col, 1);
    col = 1;
    EXPECT_EQ(mem.GetPrevNonBlankCol(&col, 0), 1);
    col = 0;
    EXPECT_EQ(mem.GetPrevNonBlankCol(&col, 0), 1);
    col = 1000000;
    EXPECT_EQ(mem.GetPrevNonBlankCol(&col, 0), 0);
    EXPECT_EQ(col, 1);
    col = 3;
    EXPECT_EQ(mem.GetPrevNonBlankCol(&col, 7), 1);
}

TEST(MemorySource, base_source_answers_not_provided_and_allows)
{
    CUGDataSource source;
    CUGCell cell;
    int col = 0, row = 0;
    EXPECT_EQ(source.GetNumRows(), -1);
    EXPECT_EQ(source.ReadCell(0, 0, &cell), -1);
    EXPECT_EQ(source.WriteCell(0, 0, &cell), -1);
    EXPECT_EQ(source.RemoveRow(0), -1);
    EXPECT_EQ(source.FindNext(nullptr, &col, &row, 0), -1);
    EXPECT_EQ(source.SortByColumn(0, 0), -1);
    EXPECT_EQ(source.OnMovePastEnd(1, 1, &row), -1);
    EXPECT_EQ(source.AllowCellMove(0, 0, 1, 1), 1);
    EXPECT_EQ(source.AllowEditStart(0, 0, nullptr), 1);
    EXPECT_EQ(source.AllowEditKey(0, 0, nullptr, nullptr), 1);
    EXPECT_EQ(source.AllowEditFinish(0, 0, nullptr, "x", 0), 1);
    EXPECT_EQ(source.AllowEditContinue(0, 0, &col, &row), 1);
    EXPECT_EQ(source.GetPrevNonBlankCol(&col, 0), -1);
    EXPECT_EQ(source.m_ID, -1);
    EXPECT_EQ(source.m_ctrl, nullptr);
}
