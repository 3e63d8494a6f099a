#pragma once
// Tool tips of the grid's windows (cell area, headings, corner button): one hit test rule and
// one way of answering the tip's request for text.

#include "platform/base/cstring.h"
#include "platform/base/window.h"

// The hit test once the cell under the pointer is known: a tip is offered only when the
// previous test (lastCol, lastRow) found the same cell, so it waits for the pointer to rest.
// cellRect, when given, is the area the tip belongs to.
INT_PTR UGTipHitTest(const CWnd* window, int col, int row, const RECT* cellRect, int* lastCol, int* lastRow,
                     TOOLINFO* info);

// Answers a TTN_NEEDTEXT request in lparam: no tip without text, else the tip window's timing
// and width are set and the request points at text, which must outlive the request.
BOOL UGAnswerTipRequest(LPARAM lparam, bool hasText, const CString& text, LRESULT* result);
