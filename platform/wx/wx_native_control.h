#pragma once
// The base of every peer that is one of the toolkit's own controls (edit, list box, scroll bar,
// button, drop list ...): the toolkit paints it, so nothing drawn by the platform is pending.

#include "platform/base/dc_surface.h"
#include "platform/wx/wx_input.h"
#include "platform/wx/wx_peers.h"

#include <memory>

namespace platform {

class native_control_peer : public wx_peer_base {
public:
    native_control_peer(CWnd& window, wxWindow* widget) : wx_peer_base(window, widget, nullptr)
    {
        bind_input(widget, window, true);
    }
    std::unique_ptr<dc_surface> client_surface() override { return nullptr; }
    void scroll_pixels(const RECT&, int, int) override {}
    // Every invalidation reaches the control (and its colours are asked for again).
    void invalidate() override
    {
        wx_peer_base::invalidate();
        if (IsWindow(&window_))
            window_.ValidateRect(nullptr);
    }
    // The toolkit's control does the default processing of its input itself.
    bool control_message(UINT message, WPARAM, LPARAM, LRESULT&) override { return message == WM_NULL; }
};

} // namespace platform
