#include "platform/base/clipboard.h"

#include <algorithm>
#include <memory>
#include <vector>

struct global_memory {
    std::vector<char> bytes;
    int locks = 0;
};

namespace {

// CF_TEXT.
constexpr UINT text_format = 1;

struct clipboard_state {
    HWND owner = nullptr;
    bool open = false;
    CString own_text;
    bool has_own_text = false;
    std::unique_ptr<global_memory> handed_out;
    platform::clipboard_service service;
};

clipboard_state& state()
{
    static clipboard_state kept;
    return kept;
}

void write_text(const CString& text)
{
    if (state().service.write_text) {
        state().service.write_text(text);
        return;
    }
    state().own_text = text;
    state().has_own_text = true;
}

bool read_text(CString& text)
{
    if (state().service.read_text)
        return state().service.read_text(text);
    text = state().own_text;
    return state().has_own_text;
}

}  // namespace

HGLOBAL GlobalAlloc(UINT, std::size_t bytes)
{
    auto* memory = new global_memory;
    memory->bytes.assign(bytes, '\0');
    return memory;
}

void* GlobalLock(HGLOBAL memory)
{
    if (!memory)
        return nullptr;
    ++memory->locks;
    return memory->bytes.data();
}

BOOL GlobalUnlock(HGLOBAL memory)
{
    if (!memory || memory->locks == 0)
        return FALSE;
    --memory->locks;
    return memory->locks > 0 ? TRUE : FALSE;
}

HGLOBAL GlobalFree(HGLOBAL memory)
{
    delete memory;
    return nullptr;
}

std::size_t GlobalSize(HGLOBAL memory)
{
    return memory ? memory->bytes.size() : 0;
}

BOOL OpenClipboard(HWND owner)
{
    if (state().open)
        return FALSE;
    state().open = true;
    state().owner = owner;
    return TRUE;
}

BOOL CloseClipboard()
{
    if (!state().open)
        return FALSE;
    state().open = false;
    state().owner = nullptr;
    return TRUE;
}

BOOL EmptyClipboard()
{
    if (!state().open)
        return FALSE;
    state().handed_out.reset();
    write_text(CString());
    state().has_own_text = false;
    return TRUE;
}

HANDLE SetClipboardData(UINT format, HANDLE memory)
{
    std::unique_ptr<global_memory> block(static_cast<global_memory*>(memory));
    if (!state().open || format != text_format || !block)
        return nullptr;
    const std::vector<char>& bytes = block->bytes;
    const auto end = std::find(bytes.begin(), bytes.end(), '\0');
    write_text(CString(std::string(bytes.begin(), end).c_str()));
    state().handed_out = std::move(block);
    return state().handed_out.get();
}

HANDLE GetClipboardData(UINT format)
{
    CString text;
    if (!state().open || format != text_format || !read_text(text))
        return nullptr;
    auto block = std::make_unique<global_memory>();
    block->bytes.assign(text.GetString(), text.GetString() + text.GetLength());
    block->bytes.push_back('\0');
    state().handed_out = std::move(block);
    return state().handed_out.get();
}

BOOL IsClipboardFormatAvailable(UINT format)
{
    CString text;
    return format == text_format && read_text(text) ? TRUE : FALSE;
}

namespace platform {

clipboard_service set_clipboard_service(clipboard_service service)
{
    clipboard_service previous = std::move(state().service);
    state().service = std::move(service);
    return previous;
}

}  // namespace platform
