// Initialisation files beside the programs and the programs' icons.
#include "content.h"
#include "image.h"
#include "text.h"

#include <filesystem>

namespace content {

namespace {

// The icon: the aircraft seen from above on a rounded tile.
Image iconPicture(uint32_t tile, uint32_t accent)
{
  const int S = 256;
  Image img(S, S, Rgba{0, 0, 0, 0});
  img.fillRoundRect(8, 8, 248, 248, 48, rgb(tile));
  img.vGradient(8, 8, 248, 128, Rgba{255, 255, 255, 60}, Rgba{255, 255, 255, 0});
  const Rgba body = rgb(0xF4F6F8);
  // Fuselage, wing, tail, engines (nose up).
  img.fillRoundRect(116, 34, 140, 214, 12, body);
  img.fillPolygon({{128, 30}, {140, 52}, {116, 52}}, body);
  img.fillRoundRect(28, 98, 228, 122, 8, body);
  img.fillRoundRect(86, 196, 170, 212, 6, body);
  img.fillRoundRect(78, 84, 94, 132, 6, rgb(accent));
  img.fillRoundRect(162, 84, 178, 132, 6, rgb(accent));
  img.fillRect(64, 80, 108, 84, rgb(0x202020));
  img.fillRect(148, 80, 192, 84, rgb(0x202020));
  img.strokeRoundRect(8, 8, 248, 248, 48, 4, Rgba{255, 255, 255, 120});
  return img;
}

} // namespace

void makeConfig(const std::string& generatedDir)
{
  writeText("trvx.ini", "[VIDEO]\r\ncard=0\r\nantialias=1\r\nanisotropy=1\r\n");
  // The viewer saves its photos into "photo\" and does not make the folder itself.
  std::filesystem::create_directories(outputPath("photo"));
  writeText("hx21app.ini",
            "[FLIGHT]\r\nwindow=1\r\n[WINDOW]\r\nxsize=960\r\nysize=600\r\n[FULLSCREEN]\r\nxsize=0\r\nysize=0\r\n"
            "[BENCHMARK]\r\nresult_host=https://results.example.invalid\r\n");
  // Icons go beside the output tree, for the resource scripts of the two programs.
  std::filesystem::create_directories(generatedDir);
  const std::string rel = std::filesystem::relative(generatedDir, outputPath("")).string();
  writeFile(rel + "/hx21app.ico", encodeIco(iconPicture(0x1C4A9C, 0xD8202C), {16, 24, 32, 48, 64}));
  writeFile(rel + "/hx-21.ico", encodeIco(iconPicture(0x0E2A4A, 0xF0C040), {16, 24, 32, 48, 64}));
}

} // namespace content
