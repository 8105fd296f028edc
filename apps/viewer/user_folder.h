// Where the viewer may write its photos and results.
#pragma once

// A writable folder for `leaf` ("photo", "result"): beside the program when it can be written there,
// else under the user's Documents\HX-21\. Ends in a backslash; false when neither can be made.
bool writable_folder(const wchar_t *leaf, wchar_t *out, int units);
