// trvx-content: writes the product's content tree (models, textures, pictures, sounds,
// initialisation files) into the folder given on the command line, and the programs' icons
// into the "generated" folder beside it. The output depends only on this source.
#include "content.h"
#include "out.h"

#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

int main(int argc, char** argv)
{
  if (argc < 2) {
    std::fprintf(stderr, "usage: trvx-content <output folder> [part...]\n");
    return 2;
  }
  const auto t0 = std::chrono::steady_clock::now();
  const std::string root = argv[1];
  std::string only = argc > 2 ? argv[2] : "";
  try {
    std::filesystem::create_directories(root);
    content::setOutputRoot(root);
    auto want = [&](const char* part) { return only.empty() || only == part; };
    if (want("plane")) {
      content::makeAircraft("hx21ank", 0);
      content::makeAircraft("hx21jcb", 1);
    }
    if (want("port")) content::makeAirport();
    if (want("etc")) {
      content::makeClouds();
      content::makeOverlays();
    }
    if (want("logo")) content::makeLogo();
    if (want("sound")) content::makeSounds();
    if (want("config"))
      content::makeConfig((std::filesystem::absolute(root).parent_path() / "generated").string());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "trvx-content: %s\n", e.what());
    return 1;
  }
  const double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  std::printf("trvx-content: %d files written, %d unchanged, %.2f s\n", content::filesWritten(),
              content::filesKept(), secs);
  return 0;
}
