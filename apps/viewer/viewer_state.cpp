// The viewer's shared state.
#include "viewer.h"

Viewer g_viewer;
