#pragma once
// The clipboard for text (CF_TEXT): the calls that put text on it through movable memory
// blocks, over a replaceable text service. The toolkit backend installs the system
// clipboard; without one the text stays inside the process, which is what tests read.

#include "platform/base/cstring.h"
#include "platform/base/win_types.h"

#include <cstddef>
#include <functional>


struct global_memory;
using HGLOBAL = global_memory*;
using HANDLE = void*;

constexpr UINT GMEM_MOVEABLE = 0x0002;
constexpr UINT GMEM_ZEROINIT = 0x0040;
constexpr UINT GMEM_DDESHARE = 0x2000;

HGLOBAL GlobalAlloc(UINT flags, std::size_t bytes);
void* GlobalLock(HGLOBAL memory);
BOOL GlobalUnlock(HGLOBAL memory);
HGLOBAL GlobalFree(HGLOBAL memory);
std::size_t GlobalSize(HGLOBAL memory);

// One window at a time holds the clipboard open.
BOOL OpenClipboard(HWND owner);
BOOL CloseClipboard();
BOOL EmptyClipboard();
// Takes ownership of the block; its text up to the first zero (or its end) goes on the
// clipboard. Only CF_TEXT is supported; other formats fail and the block is freed.
HANDLE SetClipboardData(UINT format, HANDLE memory);
// A block owned by the clipboard holding its text, null when there is none.
HANDLE GetClipboardData(UINT format);
BOOL IsClipboardFormatAvailable(UINT format);

namespace platform {

struct clipboard_service {
    std::function<void(const CString& text)> write_text;
    std::function<bool(CString& text)> read_text;
};
// Returns the service it replaces; an empty service restores the process's own clipboard.
clipboard_service set_clipboard_service(clipboard_service service);

}  // namespace platform
