// The tiled screen transition and the picture overlay, both drawn by
// Present over the finished frame, and the operations that start them.
#include "draw/transition.h"

#include <cmath>

#include "core/app_state.h"
#include "draw/draw_state.h"
#include "draw/ox_draw.h"
#include "platform/messages.h"

namespace oxd {

namespace {

constinit TransitionState g_transition{};

// The grid of tiles is fixed at 640 x 480, whatever the screen size.
constexpr int kGridColumns = 10, kGridRows = 10;
// The background is tiled one column and row beyond the screen so that its
// drift never uncovers an edge.
constexpr int kBackgroundColumns = 11, kBackgroundRows = 11;
constexpr float kDriftSpeed = 10.0f;   // pixels per second, up and left
constexpr float kScrollSlow = 100.0f;  // rows per second, up and down arrows
constexpr float kScrollFast = 300.0f;  // rows per second, left and right arrows

// Handles below the loaders' range mean "nothing loaded": the internal
// sprites hold scratch pictures that must never show as a pattern.
bool Loaded(int handle) { return handle >= kFirstLoaderHandle && SpriteSurface(handle); }

void DrawTransitionStep(TransitionState& t) {
  if (t.style == 0 && Loaded(t.pattern)) {
    const int sl = kTileWidth * (t.step - 1);
    for (int i = 0; i < kGridColumns; ++i) {
      for (int j = 0; j < kGridRows; ++j) {
        oxDraw::Draw(kTileWidth * i, kTileHeight * j, t.pattern, sl, 0, sl + kTileWidth,
                     kTileHeight);
      }
    }
  }
  t.step += t.direction;
  if ((t.direction == -1 && t.step < 1) || (t.direction == 1 && t.step > kTransitionSteps)) {
    t.step = 0;
    t.direction = 0;
  }
}

// Keeps a drift offset in (-period, 0]. A long frame (the frame seconds
// are not clamped) may carry it past several periods at once.
float WrapDrift(float drift, float period) {
  if (drift <= -period) drift = std::fmod(drift, period);
  return drift;
}

void DrawOverlay(TransitionState& t) {
  const float seconds = ox::App().frameSeconds;

  // 1-2. The background tiles, then their drift up and left.
  if (Loaded(t.overlayBackground)) {
    const int dx = static_cast<int>(t.driftX), dy = static_cast<int>(t.driftY);
    for (int i = 0; i < kBackgroundColumns; ++i) {
      for (int j = 0; j < kBackgroundRows; ++j) {
        oxDraw::Draw(kTileWidth * i + dx, kTileHeight * j + dy, t.overlayBackground, 0, 0,
                     kTileWidth, kTileHeight);
      }
    }
  }
  t.driftX = WrapDrift(t.driftX - seconds * kDriftSpeed, float(kTileWidth));
  t.driftY = WrapDrift(t.driftY - seconds * kDriftSpeed, float(kTileHeight));

  // 3. The picture fills the clip rectangle from row trunc(scroll). The
  //    source is cut to the picture, so one smaller than the clip
  //    rectangle still shows instead of being refused whole.
  const Rect& c = Clip().clip;
  const int clipHeight = c.bottom - c.top;
  if (const Surface* picture = SpriteSurface(t.overlayPicture);
      picture && Loaded(t.overlayPicture)) {
    const int top = static_cast<int>(t.overlayScroll);
    int right = c.right - c.left, bottom = clipHeight + top;
    if (right > picture->width) right = picture->width;
    if (bottom > picture->height) bottom = picture->height;
    oxDraw::Draw(c.left, c.top, t.overlayPicture, 0, top, right, bottom);
  }

  // 4. The overlay key scrolls; the last row of the picture stops at the
  //    bottom of the clip rectangle, and a picture shorter than the clip
  //    rectangle does not scroll.
  switch (ox::Input().overlayKey) {
    case plat::kVkUp: t.overlayScroll -= seconds * kScrollSlow; break;
    case plat::kVkLeft: t.overlayScroll -= seconds * kScrollFast; break;
    case plat::kVkDown: t.overlayScroll += seconds * kScrollSlow; break;
    case plat::kVkRight: t.overlayScroll += seconds * kScrollFast; break;
    default: break;
  }
  float last = static_cast<float>(t.overlayHeight - clipHeight);
  if (last < 0) last = 0;
  if (t.overlayScroll < 0) t.overlayScroll = 0;
  if (t.overlayScroll > last) t.overlayScroll = last;
}

}  // namespace

TransitionState& Transition() { return g_transition; }

void DrawTransitionAndOverlay() {
  TransitionState& t = g_transition;
  if (t.step != 0) DrawTransitionStep(t);
  if (t.overlay == 1) DrawOverlay(t);
}

}  // namespace oxd

using namespace oxd;

int oxDraw::LoadTransition(const char* name) {
  oxDraw::SetKeyColor(0);
  g_transition.pattern = oxDraw::LoadObject(name, 2);
  return g_transition.pattern;
}

void oxDraw::CloseTransition(int nextScene) {
  ox::AppState& app = ox::App();
  app.pendingScene = nextScene >= 0 ? nextScene : app.scene;
  g_transition.step = 1;
  g_transition.direction = 1;
}

void oxDraw::OpenTransition() {
  g_transition.step = kTransitionSteps;
  g_transition.direction = -1;
}

int oxDraw::LoadOverlay(const char* picture, const char* background, int height) {
  TransitionState& t = g_transition;
  oxDraw::SetKeyColor(0);
  // A handle still 0 (never loaded, or its first load failed) takes a new
  // record; a loaded one is reloaded in place. Swapping into handle 0 would
  // overwrite the library's scratch sprite.
  auto load = [](const char* name, int32_t& handle) {
    if (handle == 0) {
      handle = oxDraw::LoadObject(name, 2);
    } else {
      oxDraw::SwapObject(name, handle, 2);
    }
  };
  load(picture, t.overlayPicture);
  load(background, t.overlayBackground);
  t.overlayScroll = 0;
  t.overlayHeight = height;
  // Without a picture there is nothing to show: the overlay goes off and
  // stays off until a picture loads.
  if (!Loaded(t.overlayPicture)) {
    t.overlayHeight = 0;
    t.overlay = 0;
    return 0;
  }
  return 1;
}

void oxDraw::ToggleOverlay() {
  TransitionState& t = g_transition;
  if (t.overlay == 1) {
    t.overlay = 0;
  } else if (t.overlayHeight > 0) {
    t.overlay = 1;
  }
}

int oxDraw::OverlayKey() { return g_transition.overlay == 1 ? ox::Input().overlayKey : 0; }
