// Text on pictures: glyphs rendered with FreeType from the system's fonts (a Japanese gothic
// face for the labels and messages, a Latin sans face for figures and titles).
#pragma once
#include "image.h"

#include <string>

namespace content {

enum class Face { Gothic, Sans, SansBold };

// Draws UTF-8 text with its baseline at y; returns the advance width in pixels.
float drawText(Image& img, float x, float y, float sizePx, const std::string& utf8, Rgba colour,
               Face face = Face::Gothic);
float textWidth(float sizePx, const std::string& utf8, Face face = Face::Gothic);
// Draws the text centred on (cx, cy) (the middle of the capital height).
void drawTextCentred(Image& img, float cx, float cy, float sizePx, const std::string& utf8, Rgba colour,
                     Face face = Face::Gothic);

} // namespace content
