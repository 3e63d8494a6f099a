#pragma once
// The procedures of the visual-styles module as callers look them up by name in
// "uxtheme.dll" (and "DllGetVersion" in "comctl32.dll"), with their signatures.

#include "platform/base/geometry.h"
#include "platform/base/library.h"

using IsAppThemed_procedure = BOOL (*)();
using IsThemeActive_procedure = BOOL (*)();
using OpenThemeData_procedure = HTHEME (*)(HWND window, LPCWSTR class_list);
using CloseThemeData_procedure = HRESULT (*)(HTHEME theme);
using DrawThemeBackground_procedure = HRESULT (*)(HTHEME theme, HDC dc, int part, int state, const RECT* rect,
                                                  const RECT* clip);
using DrawThemeText_procedure = HRESULT (*)(HTHEME theme, HDC dc, int part, int state, LPCWSTR text, int length,
                                            DWORD flags, DWORD flags2, const RECT* rect);
using DrawThemeEdge_procedure = HRESULT (*)(HTHEME theme, HDC dc, int part, int state, const RECT* rect, UINT edge,
                                            UINT flags, RECT* content);
using IsThemeBackgroundPartiallyTransparent_procedure = BOOL (*)(HTHEME theme, int part, int state);
using DllGetVersion_procedure = HRESULT (*)(DLLVERSIONINFO* info);
