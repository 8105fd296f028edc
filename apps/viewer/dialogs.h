// The modal pause and end dialogs.
#pragma once

// Pauses until the user plays on or stops; stopping leads to the end dialog.
void pause_dialog();
// Asks whether to end; yes requests quit.
void end_dialog();
