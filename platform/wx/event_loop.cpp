#include "platform/wx/event_loop.h"

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/timer.h>

#include <chrono>

namespace platform {

bool run_toolkit_loop_until(const std::function<bool()>& condition, double seconds)
{
    if (condition())
        return true;
    if (!wxTheApp)
        return false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    wxGUIEventLoop loop;
    bool held = false;
    // The condition is looked at between events: a short one-shot timer wakes the loop even
    // when nothing else happens, and is set again only after the look, so a slow condition
    // never keeps the loop from its lower-priority work (drawing).
    wxTimer timer;
    timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        held = condition();
        if (held || std::chrono::steady_clock::now() >= deadline) {
            if (loop.IsRunning())
                loop.Exit();
            return;
        }
        timer.StartOnce(10);
    });
    timer.StartOnce(10);
    loop.Run();
    timer.Stop();
    return held || condition();
}

}  // namespace platform
