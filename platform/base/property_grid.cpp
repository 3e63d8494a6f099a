#include "platform/base/property_grid.h"

#include <cstdio>

void CMFCPropertyGridProperty::SetValue(const CString& value)
{
    value_ = value;
    value_changed();
}

void CMFCPropertyGridProperty::value_changed()
{
    modified_ = GetValue() != original_;
}

void CMFCPropertyGridProperty::ResetOriginalValue()
{
    SetValue(original_);
}

BOOL CMFCPropertyGridProperty::AddOption(const CString& option)
{
    if (group_)
        return FALSE;
    options_.push_back(option);
    return TRUE;
}

BOOL CMFCPropertyGridProperty::Enable(BOOL enable)
{
    const BOOL previous = enabled_ ? TRUE : FALSE;
    enabled_ = enable != FALSE;
    return previous;
}

BOOL CMFCPropertyGridProperty::AddSubItem(CMFCPropertyGridProperty* item)
{
    if (!item || item == this)
        return FALSE;
    item->parent_ = this;
    children_.emplace_back(item);
    return TRUE;
}

CMFCPropertyGridProperty* CMFCPropertyGridProperty::GetSubItem(int index) const
{
    return (index >= 0 && index < GetSubItemsCount()) ? children_[static_cast<size_t>(index)].get() : nullptr;
}

void CMFCPropertyGridProperty::user_changed(const CString& value)
{
    if (!enabled_ || group_)
        return;
    // A choice that does not allow editing keeps to its options.
    if (!editable_ && !options_.empty()) {
        bool known = false;
        for (const CString& option : options_)
            known = known || option == value;
        if (!known)
            return;
    }
    SetValue(value);
}

CMFCPropertyGridColorProperty::CMFCPropertyGridColorProperty(const CString& name, COLORREF colour, void*,
                                                             const CString& description)
    : CMFCPropertyGridProperty(name, CString(), description), colour_(colour)
{
    SetOriginalValue(GetValue());
}

void CMFCPropertyGridColorProperty::SetColor(COLORREF colour)
{
    colour_ = colour;
    value_changed();
}

CString CMFCPropertyGridColorProperty::GetValue() const
{
    CString text;
    text.Format("%d,%d,%d", GetRValue(colour_), GetGValue(colour_), GetBValue(colour_));
    return text;
}

void CMFCPropertyGridColorProperty::SetValue(const CString& value)
{
    int red = 0;
    int green = 0;
    int blue = 0;
    char extra = 0;
    if (std::sscanf(value.GetString(), "%d,%d,%d%c", &red, &green, &blue, &extra) != 3 || red < 0 || red > 255 ||
        green < 0 || green > 255 || blue < 0 || blue > 255)
        return;
    SetColor(RGB(red, green, blue));
}

BOOL CMFCPropertyGridCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    return CWnd::Create("MFCPropertyGrid", "", style, rect, parent, id);
}

int CMFCPropertyGridCtrl::AddProperty(CMFCPropertyGridProperty* property, BOOL)
{
    if (!property)
        return -1;
    properties_.emplace_back(property);
    refresh_peer();
    return GetPropertyCount() - 1;
}

CMFCPropertyGridProperty* CMFCPropertyGridCtrl::GetProperty(int index) const
{
    return (index >= 0 && index < GetPropertyCount()) ? properties_[static_cast<size_t>(index)].get() : nullptr;
}

void CMFCPropertyGridCtrl::RemoveAll()
{
    properties_.clear();
    refresh_peer();
}

void CMFCPropertyGridCtrl::EnableHeaderCtrl(BOOL enable, const char* left, const char* right)
{
    header_ = enable != FALSE;
    header_left_ = left ? left : "";
    header_right_ = right ? right : "";
    refresh_peer();
}

void CMFCPropertyGridCtrl::MarkModifiedProperties(BOOL mark, BOOL)
{
    mark_modified_ = mark != FALSE;
    refresh_peer();
}

void CMFCPropertyGridCtrl::refresh_peer() const
{
    if (auto* native = dynamic_cast<property_grid_peer*>(peer()))
        native->show_properties();
}
