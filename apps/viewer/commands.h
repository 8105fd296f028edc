// What keys and clicks do in the viewer, and the held-input states they start.
#pragma once

// Acts on one event code from the engine's input queue.
void handle_command(int code);
// Runs one frame's step of the active held-input state, filling the camera drive values.
void step_held_state(float *h, float *v, float *z);
// Makes camera set k current, if it is not empty.
void select_camera_set(int k);
