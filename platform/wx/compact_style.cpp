#include "platform/wx/compact_style.h"

#include <wx/window.h>

#ifdef __WXGTK3__
#include <dlfcn.h>
#endif

namespace platform {

#ifdef __WXGTK3__

namespace {

// The rules reach only the windows marked with this class: file pickers, message boxes and the
// inner parts of the toolkit's composite controls keep the theme's sizes.
constexpr const char* compact_class = "tarvoline-compact";
constexpr const char* compact_rules =
    "combobox.tarvoline-compact button.combo { min-height: 0; padding-top: 0; padding-bottom: 0; }";
// GTK_STYLE_PROVIDER_PRIORITY_APPLICATION: above the theme's rules, below the user's own.
constexpr unsigned application_priority = 600;

// GTK is called through the symbols its library, loaded with the toolkit, already brought into
// the process: the build has no GTK headers of its own. Where one is missing nothing changes.
struct gtk_style_calls {
    void* (*new_provider)() = nullptr;
    int (*load_rules)(void* provider, const char* rules, long length, void** error) = nullptr;
    void* (*default_screen)() = nullptr;
    void (*add_screen_provider)(void* screen, void* provider, unsigned priority) = nullptr;
    void (*release)(void* object) = nullptr;
    void* (*style_of)(void* widget) = nullptr;
    void (*add_class)(void* style, const char* name) = nullptr;

    template <typename Call>
    static void find(Call& call, const char* name)
    {
        call = reinterpret_cast<Call>(dlsym(RTLD_DEFAULT, name));
    }
    gtk_style_calls()
    {
        find(new_provider, "gtk_css_provider_new");
        find(load_rules, "gtk_css_provider_load_from_data");
        find(default_screen, "gdk_screen_get_default");
        find(add_screen_provider, "gtk_style_context_add_provider_for_screen");
        find(release, "g_object_unref");
        find(style_of, "gtk_widget_get_style_context");
        find(add_class, "gtk_style_context_add_class");
    }
    bool complete() const
    {
        return new_provider && load_rules && default_screen && add_screen_provider && release && style_of && add_class;
    }
};

// The rules are given to the display once, for the life of the process.
const gtk_style_calls* installed_rules()
{
    static const gtk_style_calls* const calls = []() -> const gtk_style_calls* {
        static const gtk_style_calls found;
        void* screen = found.complete() ? found.default_screen() : nullptr;
        if (!screen)
            return nullptr;
        void* provider = found.new_provider();
        const bool loaded = provider && found.load_rules(provider, compact_rules, -1, nullptr);
        if (loaded)
            found.add_screen_provider(screen, provider, application_priority);
        if (provider)
            found.release(provider);
        return loaded ? &found : nullptr;
    }();
    return calls;
}

}  // namespace

void draw_drop_list_compact(wxWindow& drop_list)
{
    const gtk_style_calls* calls = installed_rules();
    void* widget = drop_list.GetHandle();
    if (!calls || !widget)
        return;
    if (void* style = calls->style_of(widget))
        calls->add_class(style, compact_class);
    drop_list.InvalidateBestSize();
}

#else

void draw_drop_list_compact(wxWindow&) {}

#endif

}  // namespace platform
