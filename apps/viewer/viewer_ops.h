// The viewer as the benchmark reaches it: the operations its screens and its test runs need. The
// benchmark changes the viewer's state only through these, and the viewer knows the benchmark only
// through bench/benchmark.h.
#pragma once

#include <stdint.h>

#include "display_request.h"
#include "platform.h"
#include "trvx.h"
#include "vec3.h"

namespace viewer {

// --- The process ----------------------------------------------------------------------------
HWND window();
// The program's folder, ending in a backslash.
const wchar_t *program_folder();
bool quit_requested();
void request_quit();
// A writable folder for `leaf` ("result"): beside the program when it can be written there, else
// under the user's Documents\HX-21\. Ends in a backslash; false when neither can be made.
bool writable_folder(const wchar_t *leaf, wchar_t *out, int units);
// Starts the engine once in a 960 x 600 window to read the PC; false when it cannot start.
bool probe_pc(tagTRVXSYSINFO *pc, bool *hardware3DSound);

// --- A test run's scene ---------------------------------------------------------------------
// The view's size in pixels.
int view_width();
int view_height();
// A model file read under the scene root, 0 when it cannot be read.
TRVXLAYER read_scene_model(const wchar_t *file);
TRVXLAYER find_layer(TRVXLAYER in, const wchar_t *name);
TRVXLAYER aircraft_part(const wchar_t *name);
void switch_layer(TRVXLAYER layer, bool on);
void place_layer(TRVXLAYER layer, Vec3 at);
void turn_layer(TRVXLAYER layer, Vec3 angles);

// The part sequences' timed channels.
enum class Channel { Gear, Flaps, LandingLights, Door };
// Starts a channel at simulation ms `start` (-1: jump to its end) in `direction` (+1 or -1; 0 keeps
// the channel's own).
void start_channel(Channel channel, int64_t start, int direction);
bool channel_running(Channel channel);
// The anti-collision beacons: flashing from simulation ms `start` unless they already flash; stopped.
void start_beacons(int64_t start);
void stop_beacons();

// A camera set made current with its lens and its type's four angles or offsets.
struct ShotCamera {
    int set;
    float lens;
    float a[4];
};
void place_camera(const ShotCamera &camera);
int camera_type(int set);
void show_parts_for_camera(int cameraType);

// Date and light: the sun for a time (minutes since 1 January), the sun light's direction tilted by
// `dz` (not normalised again), the sky's colours (0x00BBGGRR) and the fog.
void set_sun_time(int minutes);
void tilt_sun(float dz);
void set_sky_colours(uint32_t top, uint32_t middle, uint32_t horizon);
void set_fog(float start, float end, uint32_t colour);
// The full-view fade layer at `depth` with `transparency` (0 opaque .. 255 clear) in `colour`.
void set_fade(float depth, int transparency, uint32_t colour);
// A line of text drawn over the scene in each frame (empty: none).
void set_overlay_line(const char *text, const RECT &rect, int font, uint32_t colour);

// --- Input ----------------------------------------------------------------------------------
struct TestInput {
    bool escape;          // Escape was pressed (or the window was closed)
    bool leftPressInView; // the left button went down with the mouse over the view
    bool leftHeld;
    int dx, dy;           // mouse movement since the last poll
};
// Polls keyboard and mouse and takes every queued event.
TestInput read_input();
// Forgets held input and puts the mouse at (x, y) in view coordinates.
void reset_pointer(int x, int y);
// The drawn cursor: the hand while dragging, the arrow once a drag ends (the pointer let go).
enum class PointerLook { Unchanged, Hand, ArrowAfterDrag };
void update_pointer(PointerLook look);

// --- Frames ---------------------------------------------------------------------------------
// One frame at simulation ms `clock`: the aircraft on its circuit, the current camera, the
// propellers turned for `propellerMs`, the scene drawn with its overlays. False when the frame
// could not be shown (a full-screen display that was taken away).
bool draw_test_frame(double clock, double propellerMs);

} // namespace viewer
