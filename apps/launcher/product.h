// Names the launcher shares with the rest of the product: its own window class and title, and the
// viewer program it starts, which also names the viewer's build target and its window class.
#pragma once

// A running launcher is found by this class; a second start brings that window to the front.
#define HX21_LAUNCHER_CLASS L"ZIZIVAVUZ_AD"
#define HX21_LAUNCHER_TITLE L"HX-21 Flight Benchmark"

// The viewer as the product ships it (build target hx21app), started without arguments: benchmark.
#define HX21_VIEWER_PROGRAM L"hx21app.exe"
#define HX21_VIEWER_CLASS L"HX-21APP"

// Where the DirectX information dialog sends people who need to install the runtime.
#define HX21_DIRECTX_HELP_PAGE L"https://support.hx21.example/directx9c/install.html"
