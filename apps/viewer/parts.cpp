// The aircraft's moving parts, their sequences, beacons and propellers.
#include "parts.h"

#include <string.h>

#include "camera_math.h"
#include "layers.h"
#include "scene.h"
#include "viewer_state.h"

PartChannels g_channels;
FlightPose g_aircraftPose;

namespace {

const int kLightSlots = 8;
const int kBeaconLightSlot = 2;
const float kLeftPropRate = 8.0f, kRightPropRate = 8.5f;

struct LightBinding {
    TRVXLAYER layer;
    tagTRVXLIGHT light;
};

struct PropellerLayers {
    TRVXLAYER blades, blur, blurDisc, bladeGroup;
    Propeller state;
};

const wchar_t *const kAirstair[] = {L"trap00---z", L"trap01---z", L"trap02---z", L"trap03---z", L"trap0101---z",
                                    L"trap0102---z", L"trap0103---z", L"trap0104---z", L"trap0105---z",
                                    L"trap0201---z", L"trap0202---z", L"trap0203---z", L"trap0204---z",
                                    L"trap0301---z"};
const float kAirstairTurn[] = {75, 135, -172, -180, -75, 71, 72, -83, -73, -80, 65, -94, -61, 250};
const int kAirstairLayers = sizeof kAirstair / sizeof kAirstair[0];

struct Parts {
    TRVXLAYER noseLamps[2], noseGear, mainTires[2], mainB[2], mainC[2], noseCovers[2];
    TRVXLAYER gearDoors[4];
    TRVXLAYER flaps1[2], flaps2[2];
    TRVXLAYER landingLamps[2];
    Vec3 landingLampAt[2];
    TRVXLAYER door, stairs, airstair[kAirstairLayers];
    TRVXLAYER beaconUp, beaconDown;
    PropellerLayers left, right;
    TRVXLAYER views[6]; // "hx21", "in_hx2101", "in_hx2102", "mainwing", "enjine", "cp_c"
    LightBinding bindings[kLightSlots];
};
Parts g_parts;

TRVXLAYER part(const wchar_t *name)
{
    return find_layer(g_scene.aircraftGroup, name);
}

void rotate(TRVXLAYER layer, float x, float y, float z)
{
    Vec3 r = {x, y, z};
    move_layer(layer, nullptr, &r);
}

void pose_gear(int32_t e)
{
    Parts &p = g_parts;
    GearValues g = gear_values(e);
    set_lamp(p.noseLamps[0], g.lamp);
    set_lamp(p.noseLamps[1], g.lamp);
    rotate(p.noseGear, 100 * g.s, 0, 0);
    for (int side = 0; side < 2; ++side) {
        rotate(p.mainTires[side], 90 * g.p, 0, 0);
        rotate(p.mainB[side], -160 * g.p, 0, 0);
        rotate(p.mainC[side], 30 * g.p, 0, 0);
    }
    rotate(p.noseCovers[0], 5.97f, 0, -85 * g.w);
    rotate(p.noseCovers[1], 5.97f, 0, 85 * g.w);
    rotate(p.gearDoors[0], 0.9f, -2.5f, 65 - 65 * g.q);
    rotate(p.gearDoors[1], 0.63f, 2.5f, 72 * g.q - 72);
    rotate(p.gearDoors[2], 0.63f, -2.5f, 72 - 72 * g.q);
    rotate(p.gearDoors[3], 0.9f, 2.5f, 65 * g.q - 65);
}

void pose_flaps(int32_t e)
{
    Parts &p = g_parts;
    float v = flap_extension(e);
    Vec3 at1 = {0, 0.1f * v, 0.7f * v}, turn1 = {20 * v, 0, 0};
    Vec3 at2 = {0, 0.06f * v, 0.4f * v}, turn2 = {18 * v, 0, 0};
    for (int side = 0; side < 2; ++side) {
        move_layer(p.flaps1[side], &at1, &turn1);
        move_layer(p.flaps2[side], &at2, &turn2);
    }
}

void pose_landing_lights(int32_t e)
{
    Parts &p = g_parts;
    float f = e / 1000.0f;
    f = f < 0 ? 0 : f > 1 ? 1 : f;
    for (int side = 0; side < 2; ++side) {
        set_lamp(p.landingLamps[side], 2 - 2 * f);
        Vec3 at = p.landingLampAt[side];
        at.y = 2.1f + 0.2f * f;
        move_layer(p.landingLamps[side], &at, nullptr);
    }
}

// Only the open pose is ever shown: the channel jumps to its end at every run start.
void pose_door()
{
    Parts &p = g_parts;
    if (p.airstair[0]) {
        Vec3 closed = {0, 0, 0};
        move_layer(p.door, &closed, nullptr);
        for (int i = 0; i < kAirstairLayers; ++i) {
            Vec3 turn = {0, 0, kAirstairTurn[i]}, unit = {1, 1, 1};
            move_layer(p.airstair[i], nullptr, &turn, i == 8 ? &unit : nullptr);
        }
    } else {
        rotate(p.door, 0, 0, 0);
        set_transparency(p.stairs, 255);
    }
}

void bind_beacon(TRVXLAYER lamp, float k)
{
    LightBinding &b = g_parts.bindings[kBeaconLightSlot];
    b.layer = lamp;
    b.light = {};
    b.light.kind = TRVX_LIGHT_POINT;
    b.light.range = 3 * k;
    b.light.diffuse = 0x0000FF;
    b.light.ambient = 0x0000FF;
}

void pose_beacons(const PeriodicChannel &c)
{
    Parts &p = g_parts;
    float up = beacon_brightness(c.phase, 0), down = beacon_brightness(c.phase, 1);
    set_lamp(p.beaconUp, 2 * up);
    set_lamp(p.beaconDown, 2 * down);
    if (up > 0 && p.beaconUp) {
        bind_beacon(p.beaconUp, up);
    } else if (down > 0 && p.beaconDown) {
        bind_beacon(p.beaconDown, down);
    } else {
        LightBinding &b = p.bindings[kBeaconLightSlot];
        b.layer = nullptr;
        b.light = {};
        TRVX_SetLight(g_run.ctx, kBeaconLightSlot, &b.light);
    }
}

void find_propeller(PropellerLayers &prop, const wchar_t *blades, const wchar_t *blur, const wchar_t *disc,
                    const wchar_t *group)
{
    prop = PropellerLayers{part(blades), part(blur), part(disc), part(group), Propeller{}};
}

void turn_propeller(PropellerLayers &prop, float rate, float seconds)
{
    propeller_turn(prop.state, rate, seconds);
    rotate(prop.blades, 0, 0, prop.state.blade);
    int blur, blade;
    propeller_looks(rate, &blur, &blade);
    set_transparency(prop.blur, blur);
    set_transparency(prop.blurDisc, blur);
    set_transparency(prop.bladeGroup, blade);
    if (rate >= 2)
        rotate(prop.blur, 0, 0, prop.state.blur);
}

} // namespace

TRVXLAYER aircraft_part(const wchar_t *name)
{
    return part(name);
}

void find_parts()
{
    Parts &p = g_parts;
    p = Parts{};
    p.noseLamps[0] = part(L"ldlightm1");
    p.noseLamps[1] = part(L"ldlightm2");
    p.noseGear = part(L"nosegear---x");
    p.mainTires[0] = part(L"01_tire_l01");
    p.mainTires[1] = part(L"01_tire_r01");
    p.mainB[0] = part(L"t_l01_b---x");
    p.mainB[1] = part(L"t_r01_b---x");
    p.mainC[0] = part(L"t_l01_c---x");
    p.mainC[1] = part(L"t_r01_c---x");
    p.noseCovers[0] = part(L"L_n_gcover_all");
    p.noseCovers[1] = part(L"R_n_gcover_all");
    p.gearDoors[0] = part(L"tire_l02---z");
    p.gearDoors[1] = part(L"tire_l03---z");
    p.gearDoors[2] = part(L"tire_r02---z");
    p.gearDoors[3] = part(L"tire_r03---z");
    p.flaps1[0] = part(L"flap_l01---xz");
    p.flaps1[1] = part(L"flap_r01---xz");
    p.flaps2[0] = part(L"flap_l02---xz");
    p.flaps2[1] = part(L"flap_r02---xz");
    p.landingLamps[0] = part(L"ldlightl");
    p.landingLamps[1] = part(L"ldlightr");
    for (int side = 0; side < 2; ++side)
        p.landingLampAt[side] = layer_position(p.landingLamps[side]);
    p.door = part(L"door_1---xz");
    p.stairs = part(L"stairs");
    if (part(L"trap00---z"))
        for (int i = 0; i < kAirstairLayers; ++i)
            p.airstair[i] = part(kAirstair[i]);
    p.beaconUp = part(L"atlightu");
    p.beaconDown = part(L"atlightd");
    find_propeller(p.left, L"e4low---z", L"e4high---z", L"02e4high", L"PLPall");
    find_propeller(p.right, L"e1low---z", L"e1high---z", L"02e1high", L"PRPall");
    static const wchar_t *const views[6] = {L"hx21", L"in_hx2101", L"in_hx2102", L"mainwing", L"enjine", L"cp_c"};
    for (int i = 0; i < 6; ++i)
        p.views[i] = part(views[i]);

    switch_layer(part(L"shadow"), false);
    switch_layer(part(L"frlight"), false);
    set_lamp(p.beaconUp, 0);
    set_lamp(p.beaconDown, 0);

    PartChannels &c = g_channels;
    c = PartChannels{};
    c.door.duration = p.airstair[0] ? 23000 : 4000;
    timed_start(c.door, -1, -1);
    c.beacons.start = 1;
    c.beacons.running = true;
}

void place_aircraft(double clock, int cameraSet)
{
    g_aircraftPose = flight_pose(clock, wobble_for_camera_set(cameraSet));
    move_layer(g_scene.aircraftGroup, &g_aircraftPose.position, &g_aircraftPose.rotation);
}

void step_part_sequences(double simulationMs)
{
    PartChannels &c = g_channels;
    // The sequences move in whole milliseconds.
    uint32_t clock = (uint32_t)simulationMs;
    if (timed_step(c.gear, clock))
        pose_gear(c.gear.e);
    if (timed_step(c.door, clock))
        pose_door();
    if (timed_step(c.flaps, clock))
        pose_flaps(c.flaps.e);
    if (timed_step(c.landingLights, clock))
        pose_landing_lights(c.landingLights.e);
    if (periodic_step(c.beacons, clock))
        pose_beacons(c.beacons);
}

void turn_propellers(double frameMs)
{
    float seconds = (float)(frameMs / 1000);
    turn_propeller(g_parts.left, kLeftPropRate, seconds);
    turn_propeller(g_parts.right, kRightPropRate, seconds);
}

void follow_bound_lights()
{
    TRVXCONTEXT ctx = g_run.ctx;
    for (int slot = 0; slot < kLightSlots; ++slot) {
        LightBinding &b = g_parts.bindings[slot];
        if (!b.layer)
            continue;
        uint8_t evaluated[72];
        TRVXL_EXT_Function(ctx, b.layer, TRVX_EXT_BOUNDS, (DWORD_PTR)evaluated, 0);
        memcpy(&b.light.position, evaluated + 32, 3 * sizeof(float));
        TRVX_SetLight(ctx, slot, &b.light);
    }
}

void show_parts_for_camera(int type)
{
    static const bool outside[6] = {true, true, false, true, true, false};
    static const bool cockpit[6] = {false, false, false, false, false, true};
    static const bool cabin[6] = {false, true, true, true, true, false};
    const bool *on = type == kCameraCockpit ? cockpit : type == kCameraCabin ? cabin : outside;
    for (int i = 0; i < 6; ++i)
        switch_layer(g_parts.views[i], on[i]);
}
