#include "platform/base/cursors.h"

namespace {

bool IsSystemCursorId(std::uintptr_t id)
{
    return (id >= 32512 && id <= 32515) || (id >= 32642 && id <= 32646) || id == 32648 || id == 32649;
}

}  // namespace

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name)
{
    const std::uintptr_t id = reinterpret_cast<std::uintptr_t>(name);
    if (instance != nullptr || !IsSystemCursorId(id))
        return nullptr;
    return reinterpret_cast<HCURSOR>(id);
}

int CursorIdOf(HCURSOR cursor)
{
    const std::uintptr_t id = reinterpret_cast<std::uintptr_t>(cursor);
    return IsSystemCursorId(id) ? static_cast<int>(id) : 0;
}
