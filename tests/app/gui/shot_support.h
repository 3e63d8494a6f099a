#pragma once
// Pictures of dialogs for a person to look at, written only when TARVOLINE_SHOT_DIR names a
// folder.

#include "platform/wx/screenshot.h"
#include "platform/wx/wx_peers.h"

#include <gtest/gtest.h>

#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/toplevel.h>

#include <cstdlib>
#include <string>

namespace gui_shots {

// The platform's picture of the window (the toolkit's own controls as labelled boxes).
inline void save_shot(const CWnd& window, const std::string& name)
{
    if (const char* folder = std::getenv("TARVOLINE_SHOT_DIR")) {
        EXPECT_TRUE(platform::save_window_png(window, std::string(folder) + "/" + name));
    }
}

// What the screen shows of the window, for controls the toolkit draws itself (property grid,
// list boxes). Best effort for a person to look at, never for a check: the X server draws in
// its own time, so the picture may still show what lay there before.
inline void save_screen_shot(const CWnd& window, const std::string& name)
{
    const char* folder = std::getenv("TARVOLINE_SHOT_DIR");
    wxWindow* top = folder ? wxGetTopLevelParent(platform::widget_of(window)) : nullptr;
    if (!top)
        return;
    top->Refresh();
    platform::process_toolkit_events();
    top->Update();
    const wxRect area = top->GetScreenRect();
    wxBitmap picture(area.width, area.height, 24);
    {
        wxMemoryDC out(picture);
        wxScreenDC screen;
        out.Blit(0, 0, area.width, area.height, &screen, area.x, area.y);
    }
    picture.SaveFile(wxString::FromUTF8((std::string(folder) + "/" + name).c_str()), wxBITMAP_TYPE_PNG);
}

}  // namespace gui_shots
