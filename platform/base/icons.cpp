#include "platform/base/icons.h"

#include "platform/base/dc.h"
#include "platform/base/system_services.h"

#include <map>
#include <memory>

namespace {

struct icon_resource {
    UINT id = 0;
    icon_painter painter;
};

// The handle of an icon is the address of its record, which lives as long as the process.
std::map<UINT, std::unique_ptr<icon_resource>>& icons()
{
    static std::map<UINT, std::unique_ptr<icon_resource>> registered;
    return registered;
}

}  // namespace

namespace platform {

void register_icon(UINT id, icon_painter painter)
{
    auto& record = icons()[id];
    if (!record)
        record = std::make_unique<icon_resource>();
    record->id = id;
    record->painter = std::move(painter);
}

const icon_painter* icon_painter_of(HICON icon)
{
    for (const auto& [id, record] : icons())
        if (record.get() == icon && record->painter)
            return &record->painter;
    return nullptr;
}

}  // namespace platform

HICON LoadIconA(HINSTANCE /*instance*/, const char* name)
{
    const auto id = reinterpret_cast<std::uintptr_t>(name);
    if (id == 0 || id > 0xFFFF)
        return nullptr;
    return LoadIcon(static_cast<UINT>(id));
}

HICON LoadIcon(UINT id)
{
    const auto found = icons().find(id);
    return found == icons().end() || !found->second->painter ? nullptr : found->second.get();
}

BOOL DrawIcon(HDC dc, int x, int y, HICON icon)
{
    const icon_painter* painter = platform::icon_painter_of(icon);
    if (!dc || !painter)
        return FALSE;
    const int size = GetSystemMetrics(SM_CXICON);
    const int saved = dc->SaveDC();
    dc->OffsetViewportOrg(x, y);
    dc->IntersectClipRect(0, 0, size, size);
    (*painter)(*dc, size);
    dc->RestoreDC(saved);
    return TRUE;
}
