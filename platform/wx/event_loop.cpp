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
    // The condition is looked at between events: a short timer wakes the loop even when
    // nothing else happens.
    wxTimer timer;
    timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        held = condition();
        if ((held || std::chrono::steady_clock::now() >= deadline) && loop.IsRunning())
            loop.Exit();
    });
    timer.Start(5);
    loop.Run();
    timer.Stop();
    return held || condition();
}

}  // namespace platform
