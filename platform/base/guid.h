#pragma once
// A 16-byte identifier, laid out as the framework lays it out.

#include "platform/base/win_types.h"

#include <cstring>

struct GUID {
    DWORD Data1 = 0;
    WORD Data2 = 0;
    WORD Data3 = 0;
    BYTE Data4[8] = {};
};

static_assert(sizeof(GUID) == 16, "an identifier is 16 bytes");

inline bool IsEqualGUID(const GUID& first, const GUID& second)
{
    return std::memcmp(&first, &second, sizeof(GUID)) == 0;
}
