#pragma once
// The system cursors by their usual ids. A system cursor's handle carries its id, so the
// toolkit backend can map it to the matching native cursor when it is set.

#include "platform/base/win_types.h"

inline LPCSTR MAKEINTRESOURCEA(int id)
{
    return reinterpret_cast<LPCSTR>(static_cast<std::uintptr_t>(static_cast<WORD>(id)));
}

const LPCSTR IDC_ARROW = MAKEINTRESOURCEA(32512);
const LPCSTR IDC_IBEAM = MAKEINTRESOURCEA(32513);
const LPCSTR IDC_WAIT = MAKEINTRESOURCEA(32514);
const LPCSTR IDC_CROSS = MAKEINTRESOURCEA(32515);
const LPCSTR IDC_SIZENWSE = MAKEINTRESOURCEA(32642);
const LPCSTR IDC_SIZENESW = MAKEINTRESOURCEA(32643);
const LPCSTR IDC_SIZEWE = MAKEINTRESOURCEA(32644);
const LPCSTR IDC_SIZENS = MAKEINTRESOURCEA(32645);
const LPCSTR IDC_SIZEALL = MAKEINTRESOURCEA(32646);
const LPCSTR IDC_NO = MAKEINTRESOURCEA(32648);
const LPCSTR IDC_HAND = MAKEINTRESOURCEA(32649);

// Only system cursors (instance null, one of the ids above) are known; anything else is null.
HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name);
// The id a system cursor handle carries, 0 for any other handle.
int CursorIdOf(HCURSOR cursor);
