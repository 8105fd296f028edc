// Names the two programs share: the product's subtitle, the launcher's window class and title, and
// the viewer program the launcher starts, which also names the viewer's build target and window class.
#pragma once

// A running launcher is found by this class; a second start brings that window to the front.
#define HX21_LAUNCHER_CLASS L"ZIZIVAVUZ_AD"
#define HX21_SUBTITLE L"Flight Benchmark"
#define HX21_LAUNCHER_TITLE L"HX-21 " HX21_SUBTITLE

// The viewer as the product ships it (build target hx21app), started without arguments: benchmark.
#define HX21_VIEWER_PROGRAM L"hx21app.exe"
#define HX21_VIEWER_CLASS L"HX-21APP"

// Where the DirectX information dialog sends people who need to install the runtime.
#define HX21_DIRECTX_HELP_PAGE L"https://support.hx21.example/directx9c/install.html"
