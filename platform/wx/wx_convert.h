#pragma once
// The project's GDI descriptions turned into toolkit objects, cached in the description until
// it changes.

#include "platform/base/gdi_objects.h"

#include <wx/bitmap.h>
#include <wx/brush.h>
#include <wx/colour.h>
#include <wx/font.h>
#include <wx/pen.h>

namespace platform {

wxColour to_wx(COLORREF colour);
COLORREF from_wx(const wxColour& colour);
const wxFont& to_wx(const LOGFONTA& font);
wxBrush to_wx(const CBrush& brush);
// The bitmap's toolkit pixels, made from its creation pixels the first time.
wxBitmap& to_wx(CBitmap& bitmap);

}  // namespace platform
