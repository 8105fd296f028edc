// The scene of one run: its layers, the sky and sun, the fade layer and the cursors, and what changes
// them. Loading builds it (scene_load.h); everything else reads and changes it through here.
#pragma once

#include "sun.h"
#include "trvx.h"

// Wiped when a run's scene is loaded.
struct Scene {
    TRVXLAYER root, loadBarModel, loadBar;
    TRVXLAYER sceneRoot, sky, skyCylinder, clouds;
    TRVXLAYER aircraftGroup, aircraft, map, airport;
    TRVXLAYER fade, controlMaster, cursorGroup, arrow, hand;
    int cursorShape; // the drive mode the drawn cursor shows, 0 = none yet

    int time;      // minutes since 1 January 00:00
    int lastTime;  // time the sun was last computed for, -1 = never
    uint32_t skyTop, skyMiddle, skyHorizon; // 0x00BBGGRR
    tagTRVXLIGHT ambient;  // light 0
    tagTRVXLIGHT sun;      // light 1
    Vec3 sunPosition;
};

extern Scene g_scene;

// The engine's gauge callback while loading: the loading bar at `percent` with `caption`.
void WINAPI loading_bar(TRVXCONTEXT ctx, const wchar_t *caption, DWORD percent);
// The sky cylinder under `parent`: four rings of 16 vertices from 2000 above to 1000 below.
TRVXLAYER build_sky_cylinder(TRVXLAYER parent);
// The full-view fade layer under the scene root, transparent.
void create_fade_layer();
// Simplifies the airport's layers that ask for it by name ("@N2...", "@N4..."), showing progress.
void rebuild_airport();
// Sets the date and time, computing the sun and giving the engine lights 0 and 1 when it changed.
void set_sun_time(int minutes);
// Gives the sky cylinder's rings the current sky colours.
void colour_sky();
// The full-view fade layer at `depth` with `transparency` (0 opaque .. 255 clear) in `colour`.
void set_fade(float depth, int transparency, uint32_t colour);
// Shows the arrow cursor for drive mode 1 and the hand for drive mode 2.
void show_cursor_for(int driveMode);
