#pragma once
// The file clipboard window: a resizable modeless window holding an editable list whose Remove
// button takes an item out. The items live in the list's ordered map from their text to the
// item, so each text is listed once; the list's caption counts them: "File list (%d items)".

#include "app/BaseDialog.h"

#include "platform/base/editable_list_box.h"

#include <functional>
#include <map>
#include <string>
#include <utility>

constexpr UINT IDD_ITEM_LIST = 146;
constexpr int IDC_ITEM_LIST = 1125;

dialog_template item_list_dialog_template();

template <typename Item>
class CItemListDialog : public CBaseDialog {
public:
    template <typename Value>
    class ItemBox : public CVSListBox {
    public:
        // Told of each removal with the item's text and item data.
        using removal_callback = std::function<void(const std::string& text, DWORD_PTR data)>;

        const std::map<std::string, Value>& items() const { return m_items; }
        std::size_t item_count() const { return m_items.size(); }
        void set_removal_callback(removal_callback callback) { m_onRemove = std::move(callback); }

        // False (nothing changed) when the key is listed already.
        bool Insert(const std::string& key, const Value& value)
        {
            const auto inserted = m_items.emplace(key, value);
            if (!inserted.second)
                return false;
            CVSListBox::AddItem(CString(key.c_str()), reinterpret_cast<DWORD_PTR>(&inserted.first->second), -1);
            UpdateCaption();
            return true;
        }

        void CreateNewList() override
        {
            UpdateCaption();
            CVSListBox::CreateNewList();
        }

        BOOL OnBeforeRemoveItem(int index) override
        {
            const std::string text = static_cast<const char*>(GetItemText(index));
            const DWORD_PTR data = GetItemData(index);
            m_items.erase(text);
            UpdateCaption();
            if (m_onRemove)
                m_onRemove(text, data);
            return TRUE;
        }

        // Removal through the list itself goes the same way as the Remove button.
        BOOL RemoveItem(int index)
        {
            if (index < 0 || index >= GetCount() || !OnBeforeRemoveItem(index))
                return FALSE;
            return CVSListBox::RemoveItem(index);
        }

    private:
        void UpdateCaption()
        {
            CString caption;
            caption.Format("File list (%d items)", static_cast<int>(m_items.size()));
            SetWindowText(caption);
        }

        std::map<std::string, Value> m_items;
        removal_callback m_onRemove;
    };

    // Builds the window at once, hidden; Show makes it visible.
    CItemListDialog(const std::string& caption, const std::string& list_caption, CWnd* parent = nullptr)
        : CBaseDialog(IDD_ITEM_LIST, parent), m_caption(caption), m_listCaption(list_caption)
    {
        m_size_grip_wanted = true;
        if (!platform::find_dialog_template(IDD_ITEM_LIST))
            platform::register_dialog_template(item_list_dialog_template());
        Create(IDD_ITEM_LIST, parent);
    }
    ~CItemListDialog() override { DestroyWindow(); }

    BOOL OnInitDialog() override
    {
        CBaseDialog::OnInitDialog();
        SetWindowText(m_caption.c_str());
        m_list.SetWindowText(m_listCaption.c_str());
        AddAnchor(IDC_ITEM_LIST, 0, 0, 100, 100);
        return TRUE;
    }

    void DoDataExchange(CDataExchange* exchange) override
    {
        CBaseDialog::DoDataExchange(exchange);
        DDX_Control(exchange, IDC_ITEM_LIST, m_list);
    }

    // Enter and Escape hide the window like its close button; it lives as long as its owner.
    void OnOK() override { ShowWindow(SW_HIDE); }
    void OnCancel() override { ShowWindow(SW_HIDE); }

    bool AddItem(const std::string& key, const Item& value) { return m_list.Insert(key, value); }

    ItemBox<Item> m_list;

private:
    std::string m_caption;
    std::string m_listCaption;
};
