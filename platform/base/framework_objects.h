#pragma once
// Small framework classes the grid names: the common object base, a growable array, the
// find-and-replace dialog's request, and the drag-and-drop target and data objects. Drag and
// drop is never registered in this program, so the OLE classes only have to exist.

#include "platform/base/cstring.h"
#include "platform/base/geometry.h"

#include <vector>

class CWnd;

class CObject {
public:
    virtual ~CObject() = default;
};

template <typename T, typename ARG = const T&>
class CArray {
public:
    int GetSize() const { return static_cast<int>(items_.size()); }
    int GetCount() const { return GetSize(); }
    bool IsEmpty() const { return items_.empty(); }
    int GetUpperBound() const { return GetSize() - 1; }
    void SetSize(int size) { items_.resize(static_cast<size_t>(size < 0 ? 0 : size)); }
    int Add(ARG item)
    {
        items_.push_back(item);
        return GetSize() - 1;
    }
    void RemoveAt(int index, int count = 1)
    {
        if (index >= 0 && count > 0 && index + count <= GetSize())
            items_.erase(items_.begin() + index, items_.begin() + index + count);
    }
    void InsertAt(int index, ARG item)
    {
        items_.insert(items_.begin() + (index < 0 ? 0 : index > GetSize() ? GetSize() : index), item);
    }
    void RemoveAll() { items_.clear(); }
    T& ElementAt(int index) { return items_.at(static_cast<size_t>(index)); }
    const T& GetAt(int index) const { return items_.at(static_cast<size_t>(index)); }
    void SetAt(int index, ARG item) { items_.at(static_cast<size_t>(index)) = item; }
    T& operator[](int index) { return ElementAt(index); }
    const T& operator[](int index) const { return GetAt(index); }
    T* GetData() { return items_.data(); }

private:
    std::vector<T> items_;
};

constexpr DWORD FR_DOWN = 0x00000001;
constexpr DWORD FR_WHOLEWORD = 0x00000002;
constexpr DWORD FR_MATCHCASE = 0x00000004;
constexpr DWORD FR_FINDNEXT = 0x00000008;
constexpr DWORD FR_REPLACE = 0x00000010;
constexpr DWORD FR_REPLACEALL = 0x00000020;
constexpr DWORD FR_DIALOGTERM = 0x00000040;
constexpr const char* FINDMSGSTRING = "commdlg_FindReplace";

// The state of a modeless find-and-replace request as its owner reads it.
class CFindReplaceDialog : public CObject {
public:
    CString m_findWhat;
    CString m_replaceWith;
    DWORD m_flags = FR_DOWN;
    CWnd* m_owner = nullptr;

    static CFindReplaceDialog* GetNotifier(LPARAM lparam) { return reinterpret_cast<CFindReplaceDialog*>(lparam); }
    CString GetFindString() const { return m_findWhat; }
    CString GetReplaceString() const { return m_replaceWith; }
    BOOL SearchDown() const { return (m_flags & FR_DOWN) != 0; }
    BOOL MatchCase() const { return (m_flags & FR_MATCHCASE) != 0; }
    BOOL MatchWholeWord() const { return (m_flags & FR_WHOLEWORD) != 0; }
    BOOL FindNext() const { return (m_flags & FR_FINDNEXT) != 0; }
    BOOL ReplaceCurrent() const { return (m_flags & FR_REPLACE) != 0; }
    BOOL ReplaceAll() const { return (m_flags & FR_REPLACEALL) != 0; }
    BOOL IsTerminating() const { return (m_flags & FR_DIALOGTERM) != 0; }
    CWnd* window() const { return m_owner; }
};

using DROPEFFECT = DWORD;
constexpr DROPEFFECT DROPEFFECT_NONE = 0;
constexpr DROPEFFECT DROPEFFECT_COPY = 1;
constexpr DROPEFFECT DROPEFFECT_MOVE = 2;
constexpr DROPEFFECT DROPEFFECT_LINK = 4;
constexpr DROPEFFECT DROPEFFECT_SCROLL = 0x80000000;
using CLIPFORMAT = unsigned short;
constexpr CLIPFORMAT CF_TEXT = 1;

// Data offered by a drag or a clipboard: formats with their bytes.
class COleDataObject {
public:
    void set_text(const CString& text)
    {
        text_ = text;
        has_text_ = true;
    }
    BOOL IsDataAvailable(CLIPFORMAT format) const { return format == CF_TEXT && has_text_; }
    CString text() const { return text_; }
    void Release() {}

private:
    CString text_;
    bool has_text_ = false;
};

class COleDataSource : public CObject {
public:
    void CacheText(const CString& text) { data_.set_text(text); }
    void Empty() { data_ = COleDataObject(); }

private:
    COleDataObject data_;
};

class COleDropTarget : public CObject {
public:
    BOOL Register(CWnd* window)
    {
        window_ = window;
        return window != nullptr;
    }
    void Revoke() { window_ = nullptr; }
    CWnd* registered_window() const { return window_; }

    virtual DROPEFFECT OnDragEnter(CWnd*, COleDataObject*, DWORD, CPoint) { return DROPEFFECT_NONE; }
    virtual DROPEFFECT OnDragOver(CWnd*, COleDataObject*, DWORD, CPoint) { return DROPEFFECT_NONE; }
    virtual void OnDragLeave(CWnd*) {}
    virtual BOOL OnDrop(CWnd*, COleDataObject*, DROPEFFECT, CPoint) { return FALSE; }
    virtual DROPEFFECT OnDropEx(CWnd*, COleDataObject*, DROPEFFECT, DROPEFFECT, CPoint)
    {
        return static_cast<DROPEFFECT>(-1);
    }
    virtual DROPEFFECT OnDragScroll(CWnd*, DWORD, CPoint) { return DROPEFFECT_NONE; }

private:
    CWnd* window_ = nullptr;
};
