// oxdemo's entry point, start-up and the frame steps every page shares.
//
// Run it like the game: `oxdemo --window` in a window, or headless with
// `oxdemo --headless --frames 300 --shot 120:page.bmp` and an input script.
#include <stdlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "core/ox_app.h"
#include "draw/ox_draw.h"
#include "examples/demo.h"
#include "frame/ox_system.h"
#include "input/ox_input.h"
#include "input/ox_text.h"

namespace demo {

namespace {

// The temporary data directory: the library reads every file from it.
char g_dataDir[64];
Sprites g_sprites;
float g_pageTime;

// Keys the demo polls, once a frame each, with their edge states kept
// here between frames as oxInput::GetKey expects.
constexpr int kPolledKeys[] = {
    oxInput::kSpace, oxInput::kLeft, oxInput::kRight, oxInput::kReturn, 'O', 'T', 'C'};
int g_edge[sizeof kPolledKeys / sizeof kPolledKeys[0]];

void Load() {
  oxDraw::Screen(640, 480, 2);

  // Pictures are written as BMP files and then loaded like any game's.
  ox::OverrideDataDirectory(g_dataDir);
  if (!WritePictures(g_dataDir))
    oxSystem::Message("Cannot write the demo pictures to %s", g_dataDir);

  // The transition pattern: black is its key colour, so the black part of
  // each tile lets the frame show through.
  oxDraw::LoadTransition(kPatternFile);
  // The overlay: a tall picture scrolled over a drifting background.
  oxDraw::LoadOverlay(kScrollFile, kTileFile, kScrollHeight);

  Sprites& s = g_sprites;
  s.ship = oxDraw::LoadObject(kShipFile, 1);
  s.landscape = oxDraw::LoadObject(kLandscapeFile, 1);

  // An image pack built from a folder of BMP files, with the images of a
  // subfolder appended. Images are found by their bare file name, in any
  // case.
  oxDraw::Convert(kPackFile, kPackSource, 1);
  oxDraw::Convert(kPackFile, kPackSubfolder, 0);
  oxDraw::SetPack(kPackFile);
  s.packShip = oxDraw::LoadPack("ship.bmp", 1);
  s.packGem = oxDraw::LoadPack("Gem.bmp", 1);
  s.packStar = oxDraw::LoadPack("STAR.BMP", 1);
  s.packRamp = oxDraw::LoadPack("ramp.bmp", 1);
  s.fileRamp = oxDraw::LoadObject(kRampFile, 1);

  ox::ChangeScene(kTransitionsPage);
}

}  // namespace

Sprites& Loaded() { return g_sprites; }

bool Pressed(int vk) {
  for (size_t i = 0; i < sizeof kPolledKeys / sizeof kPolledKeys[0]; ++i)
    if (kPolledKeys[i] == vk) return g_edge[i] == 1;
  return false;
}

float PageTime() { return g_pageTime; }

void Explain(int x, int y, std::initializer_list<const char*> lines) {
  oxText::SelectFont(oxText::kGothic, 15, 0, 0, 0, 0);
  oxText::SetColour(Ref(230, 230, 230), 0, 1);
  for (const char* line : lines) {
    oxText::Out(x, y, line);
    y += 19;
  }
  oxText::EndText();
}

void Starfield() {
  struct Star {
    float x, y, speed;
  };
  static Star stars[80];
  static bool placed = false;
  if (!placed) {
    for (Star& s : stars)
      s = {float(ox::Random() % 638), float(ox::Random() % 478), 20.0f + ox::Random() % 80};
    placed = true;
  }
  for (Star& s : stars) {
    s.y += s.speed * ox::FrameSeconds();
    if (s.y >= 478) s.y -= 478;
    // Fills are not clipped, and one that leaves the back buffer draws
    // nothing: the stars wrap before their 2 x 2 square would.
    const int grey = int(s.speed) + 150;
    oxDraw::FillRect(int(s.x), int(s.y), int(s.x) + 2, int(s.y) + 2,
                     ((grey >> 3) << 11) | ((grey >> 2) << 5) | (grey >> 3));
  }
}

int BeginPage() {
  const int first = ox::SceneChanged();
  if (first) {
    // The closing transition of the previous page left the screen covered;
    // this one uncovers the new page over its first ten frames.
    oxDraw::OpenTransition();
    g_pageTime = 0;
  } else {
    g_pageTime += ox::FrameSeconds();
  }
  for (size_t i = 0; i < sizeof kPolledKeys / sizeof kPolledKeys[0]; ++i)
    oxInput::GetKey(kPolledKeys[i], &g_edge[i]);
  oxDraw::Clear();
  return first;
}

void EndPage(const char* title, const char* help) {
  const int page = ox::Scene();

  // Title bar under the frame-rate meter's line.
  oxDraw::FillRect(0, 16, 640, 64, 0x18E7);
  oxText::SelectFont(oxText::kGothic, 22, 0, 1, 0, 0);
  oxText::SetColour(0x00FFFFFF, 0, 1);
  oxText::Out(16, 20, title);
  oxText::EndText();
  oxText::SelectFont(oxText::kGothic, 14, 0, 0, 0, 0);
  oxText::SetColour(0x0080E0FF, 0, 1);
  oxText::Out(16, 46, help);
  oxText::EndText();

  // Debug text and the meter: PrintF formats like printf.
  oxSystem::PrintF(16, 462, "page %d of %d   Space / arrows: next, previous   Esc: quit", page,
                   kPageCount);
  oxSystem::ShowFps();

  // A closing transition freezes this page for ten frames, then the main
  // loop runs the scene passed to CloseTransition.
  if (Pressed(oxInput::kSpace) || Pressed(oxInput::kRight)) {
    oxDraw::CloseTransition(page % kPageCount + 1);
  } else if (Pressed(oxInput::kLeft)) {
    oxDraw::CloseTransition((page + kPageCount - 2) % kPageCount + 1);
  }
  oxDraw::Present();
}

}  // namespace demo

int main(int argc, char** argv) {
  using namespace demo;
  char dir[] = "/tmp/oxdemo-XXXXXX";
  if (!mkdtemp(dir)) {
    perror("oxdemo: cannot create a temporary directory");
    return 1;
  }
  snprintf(g_dataDir, sizeof g_dataDir, "%s/", dir);

  GameDefinition game;
  // A name of its own: the demo runs beside the game.
  game.title = "ox demo";
  game.instanceName = "ox demo:OxMutex";
  game.load = Load;
  game.scenes[kTransitionsPage] = TransitionsPage;
  game.scenes[kOverlayPage] = OverlayPage;
  game.scenes[kPacksPage] = PacksPage;
  game.scenes[kPrimitivesPage] = PrimitivesPage;
  game.scenes[kTextPage] = TextPage;
  game.scenes[kEffectsPage] = EffectsPage;
  const int result = oxRun(argc, argv, game);

  std::error_code ignored;
  std::filesystem::remove_all(dir, ignored);
  return result;
}
