// The display: screen surface, back buffer, internal sprites, pixel format,
// and the state storage every drawing source file shares.
//
// The display is an emulated 640 x 480 RGB565 screen. The screen surface is
// the picture the window shows; the back buffer is where every frame is
// drawn. Present copies the back buffer onto the screen surface and hands
// it to the platform layer.
#include "core/app_state.h"
#include "core/error_report.h"
#include "core/input_control.h"
#include "core/services.h"
#include "core/text_copy.h"
#include "core/wait_slots.h"
#include "draw/draw_state.h"
#include "draw/effect_tables.h"
#include "draw/ox_draw.h"
#include "draw/ox_draw_status.h"
#include "draw/transition.h"
#include "platform/platform.h"

namespace oxd {

namespace {

// The emulated display has a single pixel format.
constexpr int kDisplayModeDepth = 16;
constexpr uint32_t kRedMask = 0xF800, kGreenMask = 0x07E0, kBlueMask = 0x001F;


int TrailingZeros(uint32_t mask) {
  if (mask == 0) return 0;
  int n = 0;
  while ((mask & 1) == 0) {
    mask >>= 1;
    ++n;
  }
  return n;
}

void DescribeFormat(uint32_t red, uint32_t green, uint32_t blue) {
  PixelFormat& f = Format();
  f.redMask = red;
  f.greenMask = green;
  f.blueMask = blue;
  f.redShift = TrailingZeros(red);
  f.greenShift = TrailingZeros(green);
  f.blueShift = TrailingZeros(blue);
  f.redWidthMask = red >> f.redShift;
  f.greenWidthMask = green >> f.greenShift;
  f.blueWidthMask = blue >> f.blueShift;
  // A 6-bit channel places 5-bit values one bit up, so they fill its top bits.
  f.redPosition = f.redShift + (f.redWidthMask == 0x3F ? 1 : 0);
  f.greenPosition = f.greenShift + (f.greenWidthMask == 0x3F ? 1 : 0);
  f.bluePosition = f.blueShift + (f.blueWidthMask == 0x3F ? 1 : 0);
  f.halfMask = ((f.redWidthMask >> 1) << f.redShift) | ((f.greenWidthMask >> 1) << f.greenShift) |
               ((f.blueWidthMask >> 1) << f.blueShift);
  f.pairHalfMask = f.halfMask | (f.halfMask << 16);
  f.white = (f.redWidthMask << f.redShift) | (f.greenWidthMask << f.greenShift) |
            (f.blueWidthMask << f.blueShift);
}

// Frees the screen, the back buffer and every sprite surface.
void FreeAllSurfaces() {
  ClearSpriteTable();
  DestroySurface(Scr().screen);
  DestroySurface(Scr().back);
  Scr().screen = nullptr;
  Scr().back = nullptr;
  Scr().presentPending = 0;
  ForgetZeroBounds();
  Scr().opened = 0;
}

// Sets the full-screen display mode, falling back to the first and then the
// second fallback depth when they are set. The emulated display only offers
// 16 bits per pixel, at any size (the platform layer scales the picture).
bool SetDisplayMode() {
  ScreenState& s = Scr();
  if (s.preferredDepth == kDisplayModeDepth) return true;
  if (s.firstFallbackDepth == 0) return false;
  s.preferredDepth = s.firstFallbackDepth;
  if (s.preferredDepth == kDisplayModeDepth) return true;
  if (s.secondFallbackDepth == 0) return false;
  s.preferredDepth = s.secondFallbackDepth;
  return s.preferredDepth == kDisplayModeDepth;
}

struct InternalSpriteSpec {
  const char* name;
  const char* failure;
};

constexpr InternalSpriteSpec kInternalSprites[4] = {
    {"内部用１", "Bufferスプライトが生成できません"},
    {"内部用２", "Screenスプライトが生成できません"},
    {"内部用３", "Fontスプライトが生成できません"},
    {"内部用４", "Fontバッファスプライトが生成できません"},
};

}  // namespace


void MarkAllSurfacesLost() {
  // The screen surface gets the picture it shows before it is lost.
  HandOverPresent();
  if (Scr().screen) Scr().screen->lost = true;
  if (Scr().back) Scr().back->lost = true;
  for (int i = 0; i < kSpriteCount; ++i) {
    if (Sprites()[i].surface) Sprites()[i].surface->lost = true;
  }
}

void ResetDrawState() {
  FreeAllSurfaces();
  ResetStateStorage();
  Transition() = TransitionState{};
  ResetDistortionState();
  ResetEffectState();
}

}  // namespace oxd

using namespace oxd;

int oxDraw::Screen(int width, int height, int placement) {
  static constexpr const char* kOperation = "oxDraw::Screen";
  // Every surface is plain memory, so the memory placement changes nothing.
  (void)placement;
  ScreenState& s = Scr();
  ox::AppState& app = ox::App();

  // Opening again replaces the previous screen and sprites instead of
  // leaking them.
  FreeAllSurfaces();

  s.width = width;
  s.height = height;
  Clip().clip = Rect{0, 0, width, height};

  // The emulated display is the only device and has no 3D acceleration.
  s.acceleratedDevice = 0;

  if (app.fullScreen) {
    if (!SetDisplayMode()) return ox::ErrorReport(kOperation, "解像度が変更できません");
  } else {
    s.preferredDepth = oxDraw::GetDisplayDepth();
  }

  s.screen = CreateSurface(width, height);
  if (!s.screen) return ox::ErrorReport(kOperation, "表画面が生成できません");
  s.back = CreateSurface(width, height);
  if (!s.back) return ox::ErrorReport(kOperation, "裏画面が生成できません");

  for (int i = 0; i < kFirstLoaderHandle; ++i) {
    SpriteRecord& r = Sprites()[i];
    r = kFreeRecord;
    r.surface = CreateSurface(width, height);
    if (!r.surface) return ox::ErrorReport(kOperation, kInternalSprites[i].failure);
    SetSurfaceKey(*r.surface, 0);
    ox::CopyText(r.name, sizeof r.name, kInternalSprites[i].name);
    r.keyColor = 0;
    r.width = static_cast<uint16_t>(width);
    r.height = static_cast<uint16_t>(height);
  }

  // The software blitter stretches; DrawStretch's fallback path stays
  // reachable by clearing this flag.
  s.stretchCapable = 1;

  DescribeFormat(kRedMask, kGreenMask, kBlueMask);
  BuildEffectTables(plat::DisplayDepth() == 16);

  for (int i = kFirstLoaderHandle; i < kSpriteCount; ++i) {
    DestroySurface(Sprites()[i].surface);
    Sprites()[i] = kFreeRecord;
  }
  Transition().overlayPicture = 0;
  Transition().overlayBackground = 0;

  s.presentSource = Rect{0, 0, width, height};
  s.screenRect = Rect{app.clientX, app.clientY, app.clientX + width, app.clientY + height};
  s.opened = 1;

  ox::services::StartSound();
  ox::services::ResetMusic();
  ox::InitWaitSlots();
  ox::ResumeInput();
  ox::SetSystemKeyMode(0);
  if (app.fullScreen) ox::ConfineCursorToScreen();
  ox::services::CreateFontList();
  ox::services::InitJoystick();
  if (ox::Input().cursorClipMode == 1) ox::ConfineCursorToScreen();
  return 1;
}

void oxDraw::SetDepth(int preferred, int firstFallback, int secondFallback) {
  Scr().preferredDepth = preferred;
  Scr().firstFallbackDepth = firstFallback;
  Scr().secondFallbackDepth = secondFallback;
}

void oxDraw::SetVSync(int flag) { Scr().vsync = flag; }

void oxDraw::Present() {
  DrawTransitionAndOverlay();
  ScreenState& s = Scr();
  if (!s.screen || !s.back) return;
  const Rect& src = s.presentSource;
  const bool whole = src.left == 0 && src.top == 0 && src.right == s.back->width &&
                     src.bottom == s.back->height && s.screen->width == s.back->width &&
                     s.screen->height == s.back->height && s.screen->pitch == s.back->pitch;
  if (plat::IsHeadless() && whole && !s.screen->lost && !s.back->lost) {
    // Nothing shows the picture: it stays in the back buffer, and the screen
    // surface takes it only when someone asks for it or the back buffer is
    // about to change (NoteBackWrite). A picture still owed from the
    // previous Present is superseded without ever being copied.
    plat::PresentFrame(s.back->pixels, s.width, s.height, s.back->pitch, s.vsync != 0);
    s.presentPending = 1;
    return;
  }
  HandOverPresent();
  // The screen surface is the window's client area, so the copy lands at its
  // origin; the screen rectangle only tracks where the window is.
  BlitResult result;
  if (s.vsync) {
    // The platform waits for the refresh and shows the back buffer; the copy
    // then brings the screen surface up to what is shown. A failed wait shows
    // nothing, and the screen surface keeps the previous frame.
    if (s.screen->lost || s.back->lost) {
      result = BlitResult::Lost;
    } else if (!plat::PresentFrame(s.back->pixels, s.width, s.height, s.back->pitch, true)) {
      return;
    } else {
      result = Blit(*s.screen, 0, 0, *s.back, src.left, src.top, src.right, src.bottom, false);
    }
  } else {
    result = Blit(*s.screen, 0, 0, *s.back, src.left, src.top, src.right, src.bottom, false);
    if (result == BlitResult::Ok) {
      plat::PresentFrame(s.screen->pixels, s.width, s.height, s.screen->pitch, false);
    }
  }
  if (result == BlitResult::Ok) NoteScreenCopied();
  // After a loss every surface comes back; this frame is not shown again.
  if (result == BlitResult::Lost) oxDraw::Restore();
}

void oxDraw::Clear() {
  ScreenState& s = ScrUnsettled();
  if (s.back) Fill(*s.back, 0, 0, s.width, s.height, 0);
}

void oxDraw::Release() {
  FreeAllSurfaces();
  if (ox::App().fullScreen || ox::App().popupWindow) plat::MinimizeMainWindow();
}

int oxDraw::GetDisplayDepth() { return plat::DisplayDepth(); }
