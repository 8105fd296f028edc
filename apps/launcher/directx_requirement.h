// Whether this PC has DirectX 9 or later, decided from what the platform could tell us, and what the
// information dialog then says. Portable; directx_probe_win32.cpp asks the platform.
#pragma once

#include <cstdint>
#include <string>

enum class SetupQuery {
    Unavailable, // the DirectX setup library or its version function is missing (current Windows, Wine)
    Failed,      // the version function exists but said no
    Answered,
};

struct DirectXFacts {
    SetupQuery query = SetupQuery::Unavailable;
    uint32_t version = 0;   // as the setup library reports it: DirectX minor version in the low 16 bits
    bool direct3d9 = false; // a Direct3D 9 object could be created
    bool d3dx9 = false;     // the D3DX 9 library the graphics driver is linked against loads
};

// True when the launcher may go on: the setup library reports DirectX 9 or later, or, where it
// cannot be asked, Direct3D 9 is there; and either way the graphics driver's D3DX 9 library, which
// only the DirectX 9.0c runtime brings, is there too.
bool directx_sufficient(const DirectXFacts &facts);

// The information dialog's message for a PC that is not sufficient.
std::wstring directx_message(const DirectXFacts &facts);
