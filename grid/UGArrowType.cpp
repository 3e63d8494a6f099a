#include "grid/UGArrowType.h"

namespace {
constexpr GUID arrow_type_id = {0x5c1d2f42, 0x8a31, 0x4e0b, {0x9d, 0x11, 0x3a, 0x6e, 0x20, 0x7b, 0xc4, 0x03}};
}

// Drawing the arrow is not done yet.

const char* CUGArrowType::GetName() { return "Side Arrows"; }
const GUID* CUGArrowType::GetTypeId() { return &arrow_type_id; }
