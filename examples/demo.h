// oxdemo: a tour of the library's services, one page (scene) each.
//
// Space or the right arrow goes to the next page, the left arrow to the
// previous one, Escape quits. Every page change closes the screen with the
// tiled transition and opens the next page with it. The demo draws its
// pictures itself at start-up, as BMP files in a temporary data directory,
// so it needs no files beside the executable.
#pragma once

#include <cstdint>
#include <initializer_list>

namespace demo {

// Pages are scenes of the main loop, numbered from 1 in tour order.
enum Page {
  kTransitionsPage = 1,
  kOverlayPage,
  kPacksPage,
  kPrimitivesPage,
  kTextPage,
  kEffectsPage,
  kPageCount = kEffectsPage,
};

// Files the start-up writes into the data directory and loads.
constexpr const char* kPatternFile = "wipe.bmp";   // 640 x 48 transition strip
constexpr const char* kScrollFile = "scroll.bmp";  // the overlay's tall picture
constexpr const char* kTileFile = "tile.bmp";      // the overlay's 64 x 48 background
constexpr const char* kShipFile = "ship.bmp";
constexpr const char* kLandscapeFile = "landscape.bmp";
constexpr const char* kPackSource = "packsrc";  // folder the pack is built from
constexpr const char* kPackSubfolder = "packsrc/extra";
constexpr const char* kRampFile = "packsrc/ramp.bmp";  // near-black steps, loaded as a file too
constexpr const char* kPackFile = "demo.pak";
constexpr int kScrollWidth = 640, kScrollHeight = 960;

// Writes every picture above into `dir` (ending in "/"); false when a file
// cannot be written.
bool WritePictures(const char* dir);

// Sprite handles the start-up loads and the pages draw.
struct Sprites {
  int ship;       // from a BMP file
  int landscape;  // from a BMP file
  int packShip;   // from the pack
  int packGem;    // from the pack
  int packStar;   // from the pack, stored from its subfolder
  int packRamp;   // the near-black steps from the pack
  int fileRamp;   // the same steps from their BMP file
};
Sprites& Loaded();

// The page functions.
void TransitionsPage();
void OverlayPage();
void PacksPage();
void PrimitivesPage();
void TextPage();
void EffectsPage();

// The frame steps every page shares. BeginPage polls the keys, clears the
// back buffer and, on a page's first frame, starts the opening transition;
// it returns 1 on that first frame. EndPage draws the title bar, the
// footer and the frame-rate meter, handles page navigation and presents.
int BeginPage();
void EndPage(const char* title, const char* help);
// 1 when the key went down on this frame's poll (0 while a transition or
// the overlay masks the keys).
bool Pressed(int vk);
// Seconds since the page opened, from the frame seconds.
float PageTime();
// Lines of explanation in Gothic 15, one under the other from (x, y).
void Explain(int x, int y, std::initializer_list<const char*> lines);
// A field of stars drifting down the screen, moved by the frame seconds.
void Starfield();
// Colour reference (0x00BBGGRR) of red, green, blue.
constexpr int32_t Ref(int r, int g, int b) { return int32_t(b << 16 | g << 8 | r); }

}  // namespace demo
