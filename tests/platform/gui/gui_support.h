#pragma once
// Starts the toolkit once for the whole suite and gives tests a shown top-level window with
// an owner-drawn child to draw on.

#include "platform/base/dc.h"
#include "platform/base/window.h"
#include "platform/wx/event_loop.h"
#include "platform/wx/screenshot.h"
#include "platform/wx/wx_backend.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <wx/debug.h>
#include <wx/toplevel.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <ostream>
#include <string>

// Colours in failure messages as "rgb(r, g, b)".
inline void PrintTo(const wxColour& colour, std::ostream* out)
{
    *out << (colour.IsOk() ? colour.GetAsString(wxC2S_CSS_SYNTAX).utf8_str().data() : "no colour");
}

namespace gui_test {

inline void fail_on_toolkit_assert(const wxString& file, int line, const wxString& function, const wxString& condition,
                                   const wxString& message)
{
    ADD_FAILURE() << "toolkit assertion " << condition.utf8_str().data() << " in " << function.utf8_str().data() << " at "
                  << file.utf8_str().data() << ":" << line << ": " << message.utf8_str().data();
}

inline void start_toolkit()
{
    static const bool started = platform::start_wx_toolkit();
    wxSetAssertHandler(fail_on_toolkit_assert);
    ASSERT_TRUE(started) << "the toolkit needs a display (run under xvfb-run)";
}

// Started before any case's fixture exists: a control reads the system's colours and sizes when
// it is built, and those come from the toolkit's theme once it runs. Each case may run alone in
// a process of its own, so none may count on an earlier case having started it.
class toolkit_environment : public ::testing::Environment {
public:
    void SetUp() override { start_toolkit(); }
};
inline ::testing::Environment* const toolkit_started_first =
    ::testing::AddGlobalTestEnvironment(new toolkit_environment);

// The colour of a client pixel of window as the window shows it.
inline COLORREF pixel_at(const CWnd& window, int x, int y)
{
    const wxImage image = platform::window_image(window);
    const int frame = window.frame_width();
    return RGB(image.GetRed(x + frame, y + frame), image.GetGreen(x + frame, y + frame),
               image.GetBlue(x + frame, y + frame));
}

// Saves what the display shows of window once the toolkit has drawn it (for a person to look
// at; nothing is asserted on it).
inline void save_screen_when_drawn(const CWnd& window, const std::string& path)
{
    auto drawn = [&window] {
        const wxImage image = platform::screen_image(window);
        if (!image.IsOk())
            return false;
        const unsigned char* pixels = image.GetData();
        const size_t bytes = static_cast<size_t>(image.GetWidth()) * static_cast<size_t>(image.GetHeight()) * 3;
        for (size_t index = 0; index < bytes; ++index)
            if (pixels[index] != 0)
                return true;
        return false;
    };
    if (platform::run_toolkit_loop_until(drawn))
        platform::save_screen_png(window, path);
}

// The colour of a 3 x 3 block of a toolkit control in a picture of its top-level window, near
// its right end and `down` pixels from its top (-1: half way); invalid unless the block is of
// one colour (a window the toolkit has not painted yet shows the root's pattern).
inline wxColour shown_block(const wxImage& shot, const wxWindow& control, int down = -1)
{
    const wxWindow* top = wxGetTopLevelParent(const_cast<wxWindow*>(&control));
    if (!shot.IsOk() || !top)
        return wxColour();
    const wxRect place = control.GetScreenRect();
    const wxPoint origin = top->GetScreenRect().GetPosition();
    const int x = place.GetRight() - 8 - origin.x;
    const int y = place.GetY() + (down < 0 ? place.GetHeight() / 2 : down) - origin.y;
    if (x < 1 || y < 1 || x + 1 >= shot.GetWidth() || y + 1 >= shot.GetHeight())
        return wxColour();
    const wxColour middle(shot.GetRed(x, y), shot.GetGreen(x, y), shot.GetBlue(x, y));
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (wxColour(shot.GetRed(x + dx, y + dy), shot.GetGreen(x + dx, y + dy), shot.GetBlue(x + dx, y + dy)) != middle)
                return wxColour();
    return middle;
}

// The colour a control shows in the first picture grab() takes with the control drawn: one
// colour, other than the window's background just below it. A colour the theme fades in is
// caught at the colour it fades from. Invalid when nothing was drawn before the deadline.
inline wxColour first_drawn_colour(const std::function<wxImage()>& grab, const wxWindow& control)
{
    wxColour first;
    platform::run_toolkit_loop_until([&] {
        const wxImage shot = grab();
        const wxColour field = shown_block(shot, control);
        const wxColour below = shown_block(shot, control, control.GetSize().y + 3);
        if (field.IsOk() && below.IsOk() && field != below)
            first = field;
        return first.IsOk();
    });
    return first;
}

// What the process writes to its standard error while the capture lives (the toolkit's
// warnings and criticals go there).
class stderr_capture {
public:
    stderr_capture()
    {
        std::fflush(stderr);
        file_ = std::tmpfile();
        saved_ = file_ ? dup(2) : -1;
        if (saved_ >= 0)
            dup2(fileno(file_), 2);
    }
    ~stderr_capture() { text(); }
    stderr_capture(const stderr_capture&) = delete;
    stderr_capture& operator=(const stderr_capture&) = delete;
    // Ends the capture (once) and answers what was written.
    std::string text()
    {
        if (saved_ >= 0) {
            std::fflush(stderr);
            dup2(saved_, 2);
            close(saved_);
            saved_ = -1;
            std::rewind(file_);
            char buffer[4096];
            for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file_)) > 0;)
                captured_.append(buffer, got);
        }
        if (file_) {
            std::fclose(file_);
            file_ = nullptr;
        }
        return captured_;
    }

private:
    std::FILE* file_ = nullptr;
    int saved_ = -1;
    std::string captured_;
};

// A top-level window holding one owner-drawn child at (10, 10) of the given client size.
class canvas_fixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        start_toolkit();
        ASSERT_TRUE(top.CreateEx(0, nullptr, "canvas", WS_POPUP | WS_VISIBLE, CRect(50, 50, 350, 290), nullptr, 0));
        ASSERT_TRUE(canvas.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(10, 10, 210, 160), &top, 1));
        clear(RGB(255, 255, 255));
        platform::process_toolkit_events();
    }
    void TearDown() override
    {
        top.DestroyWindow();
        platform::process_toolkit_events();
    }
    void clear(COLORREF colour)
    {
        CDC* dc = canvas.GetDC();
        dc->FillSolidRect(CRect(0, 0, 200, 150), colour);
        canvas.ReleaseDC(dc);
    }

    CWnd top;
    CWnd canvas;
};

}  // namespace gui_test
