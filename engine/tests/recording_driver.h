// The recording test driver (vdr_record.dll): a graphics-driver plug-in for the engine's tests. It
// answers every command as a healthy device would, computes matrices with the shared transform
// code, and logs each command it receives so tests can check the engine's command traffic.
#pragma once

#include "plugin/trvx_plugin.h"

struct RecordedCommand {
    int command;
    DWORD_PTR p1, p2, p3, p4;
};

// The device objects the driver holds for the engine since its start.
struct RecordedObjects {
    int textures;    // texture objects alive
    int buffers;     // vertex and index buffers alive
    int badReleases; // releases of texture objects that were not alive (a real driver would crash)
};

// Exported by vdr_record.dll besides its entry point; tests bind them with GetProcAddress.
extern "C" {
typedef const RecordedCommand *(*RecordingLogProc)(int *count);
typedef void (*RecordingClearProc)();
// Makes `command` answer `result` from now on (-1: back to the normal answer).
typedef void (*RecordingAnswerProc)(int command, DWORD_PTR result);
// Keyboard and mouse bytes that command 51 copies into the engine's input block.
typedef void (*RecordingObjectsProc)(RecordedObjects *objects);
typedef void (*RecordingInputProc)(const uint8_t keys[256], const uint8_t buttons[64], const int32_t axes[16]);
}
