// The viewer's frames, one pass of the run's frame loop at a time: the aircraft flying with the
// panels, or a dialog, or a photo being taken.
#pragma once

// Readies a loaded run's frames: the clock at 0, normal speed, camera set 0.
void viewer_begin();
// One pass of the frame loop; false once quit is requested.
bool viewer_frame();
