#pragma once
// The visual-styles stand-in: a module registered as "uxtheme.dll" whose procedures draw
// theme parts through the toolkit's native renderer, and "comctl32.dll" with its version
// query. Callers load them by name (LoadLibraryA, GetProcAddress).

namespace platform {

void register_visual_styles_module();

}  // namespace platform
