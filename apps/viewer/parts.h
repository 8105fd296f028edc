// The aircraft's moving parts: its place on the circuit, the part sequences driven by timed
// channels, the flashing beacons and the light bound to them, the propellers, and which parts show
// for each kind of camera.
#pragma once

#include "flight.h"
#include "trvx.h"

struct PartChannels {
    TimedChannel gear{0, 10000, +1};
    TimedChannel flaps{0, 6000, -1};
    TimedChannel landingLights{0, 1000, +1};
    TimedChannel door{0, 23000, -1};
    PeriodicChannel beacons{0, 1000};
};

extern PartChannels g_channels;
// Where the aircraft is on its circuit this frame; the cockpit and cabin cameras ride on it.
extern FlightPose g_aircraftPose;

// Looks up every part layer of the freshly read aircraft and puts the parts in their run-start pose.
void find_parts();
// Places the aircraft for the simulation clock, its wobble chosen by the current camera set.
void place_aircraft(double clock, int cameraSet);
// Advances every part sequence to the simulation clock.
void step_part_sequences(double clock);
// Turns the propellers for `frameMs`.
void turn_propellers(double frameMs);
// Makes the light sources bound to lamp layers follow them (after the scene is evaluated).
void follow_bound_lights();
// Shows the parts that a camera of `cameraType` can see.
void show_parts_for_camera(int cameraType);
// A control surface or other part by name, 0 when the model has none.
TRVXLAYER aircraft_part(const wchar_t *name);
