#include "app/DataGridCtrl.h"

#include <utility>

void CDataGridCtrl::DisplayLayout::Store(std::uint64_t row, std::uint64_t column, std::string text)
{
    auto found = m_current.find(row);
    if (found == m_current.end()) {
        if (m_current.size() >= RowsPerGeneration) {
            m_previous = std::move(m_current);
            m_current.clear();
        }
        // The row's other columns come along, so a lookup never needs both generations for a row.
        std::vector<std::string> texts;
        const auto older = m_previous.find(row);
        if (older != m_previous.end()) {
            texts = std::move(older->second);
            m_previous.erase(older);
        }
        found = m_current.emplace(row, std::move(texts)).first;
    }
    std::vector<std::string>& texts = found->second;
    if (column >= texts.size())
        texts.resize(static_cast<std::size_t>(column) + 1);
    texts[static_cast<std::size_t>(column)] = std::move(text);
}

std::string CDataGridCtrl::DisplayLayout::Find(std::uint64_t row, std::uint64_t column) const
{
    for (const Rows* generation : { &m_current, &m_previous }) {
        const auto found = generation->find(row);
        if (found != generation->end())
            return column < found->second.size() ? found->second[static_cast<std::size_t>(column)] : std::string();
    }
    return std::string();
}

void CDataGridCtrl::DisplayLayout::Clear()
{
    // Swapping with empty maps gives the buckets back as well.
    Rows().swap(m_current);
    Rows().swap(m_previous);
}
