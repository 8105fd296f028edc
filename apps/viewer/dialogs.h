// The pause and end dialogs: two-button questions over the dimmed scene, run as a state of the
// viewer's one frame loop. The simulation clock stands still while one is open.
#pragma once

// Opens the pause dialog; choosing stop there leads on to the end dialog.
void open_pause_dialog();
// Opens the end dialog; yes requests quit. A quit already requested needs no question.
void open_end_dialog();
// Closes any dialog without acting on it (a new run's frames begin).
void forget_dialogs();
// True while a dialog is open (or passing from one to the other).
bool dialog_open();
// One pass of the loop while a dialog is open: a wait with the input thrown away, or one frame of
// the dialog with at most one event taken.
void dialog_step();
