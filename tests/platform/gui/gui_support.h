#pragma once
// Starts the toolkit once for the whole suite and gives tests a shown top-level window with
// an owner-drawn child to draw on.

#include "platform/base/dc.h"
#include "platform/base/window.h"
#include "platform/wx/event_loop.h"
#include "platform/wx/screenshot.h"
#include "platform/wx/wx_backend.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <unistd.h>

#include <wx/debug.h>
#include <wx/defs.h>
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

// GTK reached through the symbols its library, loaded with the toolkit, brought into the
// process (the build has no GTK headers); a key event made here as GDK 3 lays it out.
struct gtk_key_calls {
    struct key_event {
        int type;
        void* window;
        signed char send_event;
        unsigned time;
        unsigned state;
        unsigned keyval;
        int length;
        char* string;
        unsigned short hardware_keycode;
        unsigned char group;
        unsigned is_modifier : 1;
    };
    struct keymap_key {
        unsigned keycode;
        int group;
        int level;
    };
    void* (*current_grab)() = nullptr;
    void* (*toplevel_of)(void* widget) = nullptr;
    void* (*gdk_window_of)(void* widget) = nullptr;
    int (*is_mapped)(void* widget) = nullptr;
    void (*hide)(void* widget) = nullptr;
    void* (*new_event)(int type) = nullptr;
    void (*free_event)(void* event) = nullptr;
    void (*set_device)(void* event, void* device) = nullptr;
    void* (*default_display)() = nullptr;
    void* (*default_seat)(void* display) = nullptr;
    void* (*seat_keyboard)(void* seat) = nullptr;
    void* (*keymap_of)(void* display) = nullptr;
    int (*keys_for_keyval)(void* keymap, unsigned keyval, keymap_key** keys, int* count) = nullptr;
    void (*free_memory)(void* memory) = nullptr;
    void* (*add_reference)(void* object) = nullptr;
    void (*do_event)(void* event) = nullptr;

    template <typename Call>
    static void find(Call& call, const char* name)
    {
        call = reinterpret_cast<Call>(dlsym(RTLD_DEFAULT, name));
    }
    gtk_key_calls()
    {
        find(current_grab, "gtk_grab_get_current");
        find(toplevel_of, "gtk_widget_get_toplevel");
        find(gdk_window_of, "gtk_widget_get_window");
        find(is_mapped, "gtk_widget_get_mapped");
        find(hide, "gtk_widget_hide");
        find(new_event, "gdk_event_new");
        find(free_event, "gdk_event_free");
        find(set_device, "gdk_event_set_device");
        find(default_display, "gdk_display_get_default");
        find(default_seat, "gdk_display_get_default_seat");
        find(seat_keyboard, "gdk_seat_get_keyboard");
        find(keymap_of, "gdk_keymap_get_for_display");
        find(keys_for_keyval, "gdk_keymap_get_entries_for_keyval");
        find(free_memory, "g_free");
        find(add_reference, "g_object_ref");
        find(do_event, "gtk_main_do_event");
    }
    bool complete() const
    {
        return current_grab && toplevel_of && gdk_window_of && is_mapped && hide && new_event && free_event &&
               set_device && default_display && default_seat && seat_keyboard && keymap_of && keys_for_keyval &&
               free_memory && add_reference && do_event;
    }
    static const gtk_key_calls& get()
    {
        static const gtk_key_calls calls;
        return calls;
    }
};

// The toolkit window of the modal run on screen (a dialog or a message box), null when none.
inline void* modal_window()
{
    const gtk_key_calls& gtk = gtk_key_calls::get();
    void* grab = gtk.complete() ? gtk.current_grab() : nullptr;
    void* top = grab ? gtk.toplevel_of(grab) : nullptr;
    return top && gtk.is_mapped(top) ? top : nullptr;
}

// Takes the modal window off the screen, which ends a message box's run (a test that would
// otherwise wait for ever).
inline void hide_modal_window()
{
    if (void* top = modal_window())
        gtk_key_calls::get().hide(top);
}

// Modifiers held while press_key presses its key (GDK's masks).
constexpr unsigned with_shift = 1;
constexpr unsigned with_alt = 8;

// Presses and releases a key (a letter by its capital) as the window system reports it to GTK,
// in the window that holds the keyboard: the modal window while a run is on, else `top` (a
// toolkit top-level window), else the focused window's. GTK hands it on to that window's
// focused control and the toolkit handles it as it handles a typed key; no window manager or
// pointer position is involved. False when there is no such window (or GTK is not there).
inline bool press_key(int key, unsigned modifiers = 0, wxWindow* top = nullptr)
{
    const gtk_key_calls& gtk = gtk_key_calls::get();
    if (!gtk.complete())
        return false;
    const bool shift = (modifiers & with_shift) != 0;
    unsigned keyval = 0;
    switch (key) {
    case WXK_ESCAPE: keyval = 0xff1b; break;
    case WXK_RETURN: keyval = 0xff0d; break;
    case WXK_TAB: keyval = shift ? 0xfe20 : 0xff09; break;
    case WXK_LEFT: keyval = 0xff51; break;
    case WXK_UP: keyval = 0xff52; break;
    case WXK_RIGHT: keyval = 0xff53; break;
    case WXK_DOWN: keyval = 0xff54; break;
    case WXK_F5: keyval = 0xffc2; break;
    case WXK_DELETE: keyval = 0xffff; break;
    default:
        if (key < 'A' || key > 'Z')
            return false;
        keyval = static_cast<unsigned>(shift ? key : key - 'A' + 'a');
        break;
    }
    void* target = modal_window();
    if (!target) {
        wxWindow* focused = top ? top : wxWindow::FindFocus();
        wxWindow* window = focused ? wxGetTopLevelParent(focused) : nullptr;
        target = window ? window->GetHandle() : nullptr;
    }
    void* gdk_window = target ? gtk.gdk_window_of(target) : nullptr;
    if (!gdk_window)
        return false;
    void* display = gtk.default_display();
    unsigned short keycode = 0;
    gtk_key_calls::keymap_key* keys = nullptr;
    int count = 0;
    if (gtk.keys_for_keyval(gtk.keymap_of(display), keyval, &keys, &count) && count > 0)
        keycode = static_cast<unsigned short>(keys[0].keycode);
    gtk.free_memory(keys);
    // Each event its own time: the toolkit drops a key event with the time of the one before as
    // a copy of it (the same key pressed twice in a row).
    static unsigned key_time = 0;
    for (const int type : {8, 9}) {  // GDK_KEY_PRESS, GDK_KEY_RELEASE
        void* event = gtk.new_event(type);
        auto* fields = static_cast<gtk_key_calls::key_event*>(event);
        fields->window = gtk.add_reference(gdk_window);
        fields->send_event = 1;
        fields->time = ++key_time;
        fields->state = modifiers;
        fields->keyval = keyval;
        fields->hardware_keycode = keycode;
        gtk.set_device(event, gtk.seat_keyboard(gtk.default_seat(display)));
        gtk.do_event(event);
        gtk.free_event(event);
    }
    return true;
}

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
