// The parts of the content tree, each written by its own builder into the output root.
#pragma once
#include <string>

namespace content {

// plane\<name>\<name>.tvm and its textures; livery 0 is the house colours, 1 a second scheme.
void makeAircraft(const std::string& name, int livery);
// port\rjbh\rjbh.tvm and its textures.
void makeAirport();
// etc\clouds\landclouds.tvm.
void makeClouds();
// Loading bar, cursors, panels, end dialog, benchmark menus and logo model.
void makeOverlays();
// logo\trv5\trv5.tvm and logo\trv5\trv5.wav.
void makeLogo();
// sound\ (engine loops, gear and flap sounds, voices, evening music).
void makeSounds();
// trvx.ini and hx21app.ini beside the programs, and the programs' icons in generatedDir.
void makeConfig(const std::string& generatedDir);

} // namespace content
