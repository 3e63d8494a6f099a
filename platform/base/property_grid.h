#pragma once
// The property grid: groups of named values, each a text, a choice among fixed options or a
// colour, with a description. Properties keep their values here (so settings dialogs run
// without a display); with a toolkit the grid's peer shows them and reports the user's edits,
// which mark the property modified.

#include "platform/base/window.h"

#include <memory>
#include <vector>

class CMFCPropertyGridProperty {
public:
    // A group.
    explicit CMFCPropertyGridProperty(const CString& group_name) : name_(group_name), group_(true) {}
    // A value; the description shows under the grid.
    CMFCPropertyGridProperty(const CString& name, const CString& value, const CString& description = CString())
        : name_(name), value_(value), original_(value), description_(description)
    {
    }
    virtual ~CMFCPropertyGridProperty() = default;
    CMFCPropertyGridProperty(const CMFCPropertyGridProperty&) = delete;
    CMFCPropertyGridProperty& operator=(const CMFCPropertyGridProperty&) = delete;

    BOOL IsGroup() const { return group_ ? TRUE : FALSE; }
    const CString& GetName() const { return name_; }
    const CString& GetDescription() const { return description_; }
    // The value as text (a colour answers its "r,g,b").
    virtual CString GetValue() const { return value_; }
    virtual void SetValue(const CString& value);
    BOOL AddOption(const CString& option);
    int GetOptionCount() const { return static_cast<int>(options_.size()); }
    const CString& GetOption(int index) const { return options_.at(static_cast<size_t>(index)); }
    // FALSE: only the options can be chosen.
    void AllowEdit(BOOL allow = TRUE) { editable_ = allow != FALSE; }
    bool edit_allowed() const { return editable_; }
    BOOL Enable(BOOL enable = TRUE);
    BOOL IsEnabled() const { return enabled_ ? TRUE : FALSE; }
    BOOL IsModified() const { return modified_ ? TRUE : FALSE; }
    void SetOriginalValue(const CString& value) { original_ = value; }
    void ResetOriginalValue();

    // Sub-items: the property takes ownership.
    BOOL AddSubItem(CMFCPropertyGridProperty* item);
    int GetSubItemsCount() const { return static_cast<int>(children_.size()); }
    CMFCPropertyGridProperty* GetSubItem(int index) const;
    CMFCPropertyGridProperty* GetParent() const { return parent_; }
    virtual bool is_colour() const { return false; }

    // The user changed the value in the grid: it takes the value and is marked modified when
    // it differs from its original.
    void user_changed(const CString& value);

protected:
    void value_changed();

private:
    CString name_;
    CString value_;
    CString original_;
    CString description_;
    std::vector<CString> options_;
    std::vector<std::unique_ptr<CMFCPropertyGridProperty>> children_;
    CMFCPropertyGridProperty* parent_ = nullptr;
    bool group_ = false;
    bool editable_ = true;
    bool enabled_ = true;
    bool modified_ = false;
};

class CMFCPropertyGridColorProperty : public CMFCPropertyGridProperty {
public:
    CMFCPropertyGridColorProperty(const CString& name, COLORREF colour, void* palette = nullptr,
                                  const CString& description = CString());
    COLORREF GetColor() const { return colour_; }
    void SetColor(COLORREF colour);
    CString GetValue() const override;
    void SetValue(const CString& value) override;
    bool is_colour() const override { return true; }

private:
    COLORREF colour_ = 0;
};

// What the grid's toolkit control shows.
class property_grid_peer {
public:
    virtual ~property_grid_peer() = default;
    virtual void show_properties() = 0;
};

class CMFCPropertyGridCtrl : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    // The grid takes ownership; answers the index of the top-level item.
    int AddProperty(CMFCPropertyGridProperty* property, BOOL redraw = TRUE);
    int GetPropertyCount() const { return static_cast<int>(properties_.size()); }
    CMFCPropertyGridProperty* GetProperty(int index) const;
    void RemoveAll();
    void EnableHeaderCtrl(BOOL enable = TRUE, const char* left = "Property", const char* right = "Value");
    void EnableDescriptionArea(BOOL enable = TRUE) { description_area_ = enable != FALSE; }
    void MarkModifiedProperties(BOOL mark = TRUE, BOOL redraw = TRUE);
    bool header_enabled() const { return header_; }
    const CString& header_left() const { return header_left_; }
    const CString& header_right() const { return header_right_; }
    bool description_area() const { return description_area_; }
    bool marks_modified() const { return mark_modified_; }
    // Tells the peer that properties were added or changed.
    void refresh_peer() const;

private:
    std::vector<std::unique_ptr<CMFCPropertyGridProperty>> properties_;
    bool header_ = false;
    CString header_left_;
    CString header_right_;
    bool description_area_ = false;
    bool mark_modified_ = false;
};
