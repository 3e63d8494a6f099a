#pragma once
// The application's icon (resource 128): two stacked folders, the main folder behind and its
// backup in front, drawn in code at whatever size the desktop asks for.

#include "platform/base/win_types.h"

constexpr UINT IDR_MAINFRAME = 128;

// Registers icon 128 so that LoadIcon(IDR_MAINFRAME) finds it.
void register_application_icon();
