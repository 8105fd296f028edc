// Public header of the glTF format plug-in (trvx_gltf.dll): the one command it answers beyond the
// format protocol, for programs that show what a read or write left out or why it failed.
#pragma once

// Command to a format plug-in's TRVXINTERFACE: copies the message of its last read or write (why a
// file was refused, or what it held that the engine cannot show) into p1 (wchar_t *), at most p2
// characters with the terminating 0. Returns the message's length, 0 when there is none. A plug-in
// that does not know the command returns 0 as well.
#define TRVXCMD_FORMAT_MESSAGE 100
