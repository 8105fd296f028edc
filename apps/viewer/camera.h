// The twelve camera sets and their update each frame from the drive values and the aircraft.
#pragma once

#include "camera_math.h"
#include "trvx.h"

const int kCameraSets = 12;

struct CameraSet {
    tagTRVXCAMERA camera; // handed to the engine as it is
    int type;             // CameraType
    float a[4];           // the type's angles or offsets
    float keySpeed[4];    // horizontal and vertical key factors for camera mode 1, then mode 2
    int target, targetAllowed;
    int map, mapAllowed;
};

extern CameraSet g_cameraSets[kCameraSets];
extern int g_currentCamera;

// Fills the twelve sets with their starting values and makes set 0 current.
void init_camera_sets();
// Updates the current set from the drive (camera mode m, horizontal h, vertical v, zoom z), hands
// it to the engine and keeps the sky centred on the eye.
void update_camera(int m, float h, float v, float z);
// Sets the current set's lens (clamped to its type's range) and places the zoom knob.
void set_zoom(float zoom);
