// Drawing one frame of a run's scene, and the one-frame message screens.
#pragma once

// Advances the part sequences to the run's clock and draws the scene, with the panels, dialogs,
// cursor, the overlay text and a notice when `overlays`. False when the frame could not be shown
// (a full-screen display that was taken away): such a frame measured nothing.
bool draw_frame(bool overlays);
// One frame showing `text` centred on black.
void show_message(const wchar_t *text);
