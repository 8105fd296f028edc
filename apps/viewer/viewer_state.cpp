// The viewer's state by lifetime.
#include "viewer_state.h"

ViewerProcess g_process;
DisplayRequest g_display;
ViewerRun g_run;
