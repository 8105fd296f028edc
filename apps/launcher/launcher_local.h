// The launcher's parts and what its window thread and animation thread share.
#pragma once

#include <windows.h>

#include <atomic>

#include "directx_requirement.h"

// Polled by both threads: the window thread asks for a stop, the animation thread acknowledges by
// clearing `running` when it has ended the engine.
struct LogoShared {
    HWND window = nullptr;
    std::atomic<bool> running{false};
    std::atomic<bool> stopRequested{false};
    std::atomic<bool> viewerStarted{false};
};

// What the platform says about DirectX (directx_probe_win32.cpp).
DirectXFacts probe_directx();

// Shows the information dialog about installing DirectX, modally (info_dialog_win32.cpp).
void show_directx_dialog(HINSTANCE instance, const DirectXFacts &facts);

// Registers the launcher's class and shows its fixed-size window, centred (launcher_window_win32.cpp).
HWND create_launcher_window(HINSTANCE instance, LogoShared *shared);

// Starts the logo animation on a thread of its own; false when the thread could not be made
// (logo_animation_win32.cpp).
bool start_logo_animation(LogoShared *shared);
