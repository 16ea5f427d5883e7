// The sdl backend: a real window, the real clock, SDL events.
//
// The emulated 640 x 480 RGB565 screen is uploaded to a streaming texture and
// drawn with a logical size and integer scaling, so SDL keeps the picture
// centred with black bars and converts mouse coordinates into the picture's
// own pixels. SDL events are translated into the window messages the window
// procedure expects (virtual-key codes, system keys, double clicks,
// activation, moves, close).
#include <SDL.h>
#include <time.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/audio.h"
#include "platform/backend.h"
#include "platform/displays.h"
#include "platform/keypad.h"
#include "platform/notice_picture.h"
#include "platform/pacing.h"
#include "platform/quiet_stderr.h"
#include "platform/start_trace.h"

namespace plat {

namespace {

// ---------------------------------------------------------------- keys

struct KeyPair {
  SDL_Scancode scancode;
  uint8_t vk;
};

// Physical keys and their virtual-key codes. Letters and digits are looked
// up through the keyboard layout first (as the platform's codes follow the
// layout) and fall back to these positions for layouts without Latin
// letters.
constexpr KeyPair kKeys[] = {
    {SDL_SCANCODE_BACKSPACE, 8},      {SDL_SCANCODE_TAB, 9},
    {SDL_SCANCODE_RETURN, 13},        {SDL_SCANCODE_KP_ENTER, 13},
    {SDL_SCANCODE_LSHIFT, 16},        {SDL_SCANCODE_RSHIFT, 16},
    {SDL_SCANCODE_LCTRL, 17},         {SDL_SCANCODE_RCTRL, 17},
    {SDL_SCANCODE_LALT, 18},          {SDL_SCANCODE_RALT, 18},
    {SDL_SCANCODE_PAUSE, 19},         {SDL_SCANCODE_CAPSLOCK, 20},
    {SDL_SCANCODE_ESCAPE, 27},        {SDL_SCANCODE_SPACE, 32},
    {SDL_SCANCODE_PAGEUP, 33},        {SDL_SCANCODE_PAGEDOWN, 34},
    {SDL_SCANCODE_END, 35},           {SDL_SCANCODE_HOME, 36},
    {SDL_SCANCODE_LEFT, 37},          {SDL_SCANCODE_UP, 38},
    {SDL_SCANCODE_RIGHT, 39},         {SDL_SCANCODE_DOWN, 40},
    {SDL_SCANCODE_PRINTSCREEN, 44},   {SDL_SCANCODE_INSERT, 45},
    {SDL_SCANCODE_DELETE, 46},        {SDL_SCANCODE_0, 48},
    {SDL_SCANCODE_1, 49},             {SDL_SCANCODE_2, 50},
    {SDL_SCANCODE_3, 51},             {SDL_SCANCODE_4, 52},
    {SDL_SCANCODE_5, 53},             {SDL_SCANCODE_6, 54},
    {SDL_SCANCODE_7, 55},             {SDL_SCANCODE_8, 56},
    {SDL_SCANCODE_9, 57},             {SDL_SCANCODE_A, 65},
    {SDL_SCANCODE_B, 66},             {SDL_SCANCODE_C, 67},
    {SDL_SCANCODE_D, 68},             {SDL_SCANCODE_E, 69},
    {SDL_SCANCODE_F, 70},             {SDL_SCANCODE_G, 71},
    {SDL_SCANCODE_H, 72},             {SDL_SCANCODE_I, 73},
    {SDL_SCANCODE_J, 74},             {SDL_SCANCODE_K, 75},
    {SDL_SCANCODE_L, 76},             {SDL_SCANCODE_M, 77},
    {SDL_SCANCODE_N, 78},             {SDL_SCANCODE_O, 79},
    {SDL_SCANCODE_P, 80},             {SDL_SCANCODE_Q, 81},
    {SDL_SCANCODE_R, 82},             {SDL_SCANCODE_S, 83},
    {SDL_SCANCODE_T, 84},             {SDL_SCANCODE_U, 85},
    {SDL_SCANCODE_V, 86},             {SDL_SCANCODE_W, 87},
    {SDL_SCANCODE_X, 88},             {SDL_SCANCODE_Y, 89},
    {SDL_SCANCODE_Z, 90},             {SDL_SCANCODE_LGUI, 91},
    {SDL_SCANCODE_RGUI, 92},          {SDL_SCANCODE_APPLICATION, 93},
    {SDL_SCANCODE_KP_0, 96},          {SDL_SCANCODE_KP_1, 97},
    {SDL_SCANCODE_KP_2, 98},          {SDL_SCANCODE_KP_3, 99},
    {SDL_SCANCODE_KP_4, 100},         {SDL_SCANCODE_KP_5, 101},
    {SDL_SCANCODE_KP_6, 102},         {SDL_SCANCODE_KP_7, 103},
    {SDL_SCANCODE_KP_8, 104},         {SDL_SCANCODE_KP_9, 105},
    {SDL_SCANCODE_KP_MULTIPLY, 106},  {SDL_SCANCODE_KP_PLUS, 107},
    {SDL_SCANCODE_KP_MINUS, 109},     {SDL_SCANCODE_KP_PERIOD, 110},
    {SDL_SCANCODE_KP_DIVIDE, 111},    {SDL_SCANCODE_F1, 112},
    {SDL_SCANCODE_F2, 113},           {SDL_SCANCODE_F3, 114},
    {SDL_SCANCODE_F4, 115},           {SDL_SCANCODE_F5, 116},
    {SDL_SCANCODE_F6, 117},           {SDL_SCANCODE_F7, 118},
    {SDL_SCANCODE_F8, 119},           {SDL_SCANCODE_F9, 120},
    {SDL_SCANCODE_F10, 121},          {SDL_SCANCODE_F11, 122},
    {SDL_SCANCODE_F12, 123},          {SDL_SCANCODE_F13, 124},
    {SDL_SCANCODE_F14, 125},          {SDL_SCANCODE_F15, 126},
    {SDL_SCANCODE_F16, 127},          {SDL_SCANCODE_F17, 128},
    {SDL_SCANCODE_F18, 129},          {SDL_SCANCODE_F19, 130},
    {SDL_SCANCODE_F20, 131},          {SDL_SCANCODE_F21, 132},
    {SDL_SCANCODE_F22, 133},          {SDL_SCANCODE_F23, 134},
    {SDL_SCANCODE_F24, 135},          {SDL_SCANCODE_NUMLOCKCLEAR, 144},
    {SDL_SCANCODE_SCROLLLOCK, 145},   {SDL_SCANCODE_SEMICOLON, 186},
    {SDL_SCANCODE_EQUALS, 187},       {SDL_SCANCODE_COMMA, 188},
    {SDL_SCANCODE_MINUS, 189},        {SDL_SCANCODE_PERIOD, 190},
    {SDL_SCANCODE_SLASH, 191},        {SDL_SCANCODE_GRAVE, 192},
    {SDL_SCANCODE_LEFTBRACKET, 219},  {SDL_SCANCODE_BACKSLASH, 220},
    {SDL_SCANCODE_RIGHTBRACKET, 221}, {SDL_SCANCODE_APOSTROPHE, 222},
    {SDL_SCANCODE_NONUSBACKSLASH, 226},
};

constexpr std::array<uint8_t, SDL_NUM_SCANCODES> MakeScancodeTable() {
  std::array<uint8_t, SDL_NUM_SCANCODES> table{};
  for (const KeyPair& k : kKeys) table[k.scancode] = k.vk;
  return table;
}
constexpr std::array<uint8_t, SDL_NUM_SCANCODES> kScancodeToVk = MakeScancodeTable();

// The left/right variants the key-state query also answers.
constexpr int kVkLShift = 160, kVkRShift = 161, kVkLControl = 162, kVkRControl = 163,
              kVkLMenu = 164, kVkRMenu = 165;

bool IsLetterOrDigit(int vk) { return (vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9'); }

int VirtualKey(const SDL_Keysym& key) {
  SDL_Keycode k = key.sym;
  if (k >= SDLK_a && k <= SDLK_z) return 'A' + (k - SDLK_a);
  if (k >= SDLK_0 && k <= SDLK_9) return '0' + (k - SDLK_0);
  switch (k) {
    case SDLK_SEMICOLON: return 186;
    case SDLK_EQUALS: return 187;
    case SDLK_COMMA: return 188;
    case SDLK_MINUS: return 189;
    case SDLK_PERIOD: return 190;
    case SDLK_SLASH: return 191;
    case SDLK_BACKQUOTE: return 192;
    case SDLK_LEFTBRACKET: return 219;
    case SDLK_BACKSLASH: return 220;
    case SDLK_RIGHTBRACKET: return 221;
    case SDLK_QUOTE: return 222;
    default: break;
  }
  int vk = key.scancode >= 0 && key.scancode < SDL_NUM_SCANCODES ? kScancodeToVk[key.scancode] : 0;
  // The number pad with NumLock off sends the arrows and the other
  // navigation keys.
  vk = KeypadKey(vk, (key.mod & KMOD_NUM) != 0);
  // The key's own position names a letter or digit, but the layout puts
  // something else there (the comma key of AZERTY, where M is elsewhere):
  // that letter belongs to another key. Layouts without Latin letters have
  // no such other key, and the position's letter stands.
  if (IsLetterOrDigit(vk) &&
      SDL_GetScancodeFromKey(vk >= 'A' ? SDLK_a + (vk - 'A') : SDLK_0 + (vk - '0')) !=
          SDL_SCANCODE_UNKNOWN)
    return 0;
  return vk;
}

// ---------------------------------------------------------------- beep

constexpr int kBeepRate = 44100;
constexpr int kBeepSamples = kBeepRate * 120 / 1000;  // 120 ms

// ---------------------------------------------------------------- backend

// SDL's video drivers that show nothing on any screen.
bool IsInvisibleDriver(const char* name) {
  return name && (strcmp(name, "offscreen") == 0 || strcmp(name, "dummy") == 0 ||
                  strcmp(name, "evdev") == 0);
}

bool InvisibleDriverAskedFor() {
  const char* asked = getenv("SDL_VIDEODRIVER");
  return asked && asked[0];
}

class Sdl final : public detail::Backend {
 public:
  const char* Name() const override { return "sdl"; }
  bool RealTime() const override { return true; }
  bool Start(const Options& options, char* error, size_t errorSize) override {
    if (started_) Stop();
    scale_ = options.scale < 1 ? 1 : (options.scale > 8 ? 8 : options.scale);
    mode_ = DisplayMode{};
    mode_.fullScreen = !options.window;
    mode_.scale = scale_;
    windowedW_ = windowedH_ = placedW_ = placedH_ = 0;
    noticeUntil_ = 0;
    pass_ = 0;
    lastPassEnd_ = 0;
    closeSent_ = false;
    vsync_ = -1;
    framePresented_ = false;
    redrawOwed_ = false;
    confined_ = false;
    beepState_ = BeepState::Unopened;

    // The close of the last window is reported as a window event. Quit
    // signals are the platform layer's own (they also reach a program held
    // in a message box), so SDL installs no handlers of its own.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_APP_NAME, options.appName ? options.appName : "Sample Game");
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    // The program takes keys as key events and never text (text input is
    // stopped below), so the compose table that X's input method reads as
    // SDL starts (thousands of lines, about 15 ms) serves nothing: an empty
    // one stands in for it while SDL starts, unless the user named one.
    // No other thread of the program runs yet to read the environment, and
    // it is as before once SDL has started.
    const bool composeNamed = getenv("XCOMPOSEFILE") != nullptr;
    if (!composeNamed) setenv("XCOMPOSEFILE", "/dev/null", 0);
    const int initResult = SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER);
    if (!composeNamed) unsetenv("XCOMPOSEFILE");
    if (initResult != 0) {
      if (error && errorSize) snprintf(error, errorSize, "cannot open the display: %s", SDL_GetError());
      SDL_Quit();
      return false;
    }
    // Without a display SDL falls back to a driver that shows nothing: the
    // game would run unseen (and hold the single-instance lock, so that
    // the next real start only raises the invisible copy). Such a driver is
    // taken only when SDL_VIDEODRIVER asks for it.
    if (!InvisibleDriverAskedFor() && IsInvisibleDriver(SDL_GetCurrentVideoDriver())) {
      if (error && errorSize)
        snprintf(error, errorSize,
                 "no display could be opened (DISPLAY and WAYLAND_DISPLAY are unset or "
                 "unreachable); use --headless, or set SDL_VIDEODRIVER to run without one");
      SDL_Quit();
      return false;
    }
    start_trace::Mark("sdl video up");
    // No input method: keys arrive as plain key events.
    SDL_StopTextInput();
    // One sleep to the end of a pass is precise where the clock's
    // resolution is fine (high-resolution timers); elsewhere the sleep is
    // taken in steps of a millisecond.
    timespec res{};
    preciseSleep_ = clock_getres(CLOCK_MONOTONIC, &res) == 0 && res.tv_sec == 0 &&
                    res.tv_nsec <= 100000;
    started_ = true;
    return true;
  }

  void Stop() override {
    if (!started_) return;
    DestroyMainWindow();
    if (beepDevice_ != 0) SDL_CloseAudioDevice(beepDevice_);
    beepDevice_ = 0;
    beepState_ = BeepState::Unopened;
    SDL_Quit();
    started_ = false;
  }

  // ------------------------------------------------------------ clock

  uint32_t Clock() override { return SDL_GetTicks(); }

  void WaitUntil(uint32_t deadline) override {
    uint32_t start = Clock();
    for (;;) {
      uint32_t now = Clock();
      if (now > deadline) return;
      // A deadline at the very top of the range is only passed by wrapping
      // to 0; stop there instead of waiting another 49 days.
      if (now < start) return;
      uint32_t left = deadline - now;
      SDL_Delay(left > 2 ? 1 : 0);
    }
  }

  void BeginFramePass(uint32_t pass) override { pass_ = pass; }

  void EndFramePass() override {
    // A pass that presented nothing still repaints what the desktop asked
    // for.
    if (redrawOwed_) Redraw();
    // At most 60 passes a second, whatever the display's refresh: a pass
    // that ends early sleeps for the rest of its 1/60 s, by the clock.
    const int64_t now = MonotonicNs();
    const int64_t target = NextPassStart(lastPassEnd_, now);
    if (target > now) {
      SleepUntil(target);
      const int64_t woke = MonotonicNs();
      // Keep the cadence of the 1/60 s grid unless the sleep overshot by a
      // whole period.
      lastPassEnd_ = woke - target < kPassPeriodNs ? target : woke;
    } else {
      lastPassEnd_ = now;
    }
  }

  // ------------------------------------------------------------ events

  void Pump() override {
    detail::DeliverScriptEvents(pass_ + 1);
    if (detail::PollRaiseRequest()) detail::Enqueue(kMsgRaise, 0, 0);
    if (detail::TakeQuitSignal() && !closeSent_) {
      closeSent_ = true;
      detail::Enqueue(kMsgClose, 0, 0);
    }
    SDL_PumpEvents();
    // Pump runs when the message queue is empty. Taking a bounded number of
    // events (each makes at most two messages) keeps the queue from
    // overflowing; the rest waits for the next pump.
    SDL_Event events[64];
    int n = SDL_PeepEvents(events, 64, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT);
    for (int i = 0; i < n; ++i) Translate(events[i]);
  }

  void WaitForEvent() override {
    // No frame pass runs while the program waits: what the desktop asked
    // to be repainted is repainted now.
    if (redrawOwed_) Redraw();
    // Wakes at least every 100 ms so the raise request is still polled.
    SDL_WaitEventTimeout(nullptr, 100);
  }

  bool KeyDown(int vk) override {
    int count = 0;
    const Uint8* state = SDL_GetKeyboardState(&count);
    if (!state) return false;
    auto down = [&](SDL_Scancode sc) { return sc > 0 && sc < count && state[sc] != 0; };
    switch (vk) {
      case kVkLShift: return down(SDL_SCANCODE_LSHIFT);
      case kVkRShift: return down(SDL_SCANCODE_RSHIFT);
      case kVkLControl: return down(SDL_SCANCODE_LCTRL);
      case kVkRControl: return down(SDL_SCANCODE_RCTRL);
      case kVkLMenu: return down(SDL_SCANCODE_LALT);
      case kVkRMenu: return down(SDL_SCANCODE_RALT);
      default: break;
    }
    if (IsLetterOrDigit(vk)) {
      SDL_Keycode key = vk >= 'A' ? SDLK_a + (vk - 'A') : SDLK_0 + (vk - '0');
      SDL_Scancode sc = SDL_GetScancodeFromKey(key);
      if (sc != SDL_SCANCODE_UNKNOWN) return down(sc);
    }
    // A number-pad key answers for the code it sends: with NumLock off the
    // arrow keys are down while their number-pad twins are.
    const bool numLock = (SDL_GetModState() & KMOD_NUM) != 0;
    for (const KeyPair& k : kKeys)
      if (KeypadKey(k.vk, numLock) == vk && down(k.scancode)) return true;
    return false;
  }

  intptr_t DefaultHandling(const Message&) override { return 0; }

  // ------------------------------------------------------------ window

  bool CreateMainWindow(const char* title, int w, int h, bool fullScreen) override {
    if (!started_ || w <= 0 || h <= 0) return false;
    DestroyMainWindow();
    // SDL's first choice of accelerated renderer is OpenGL; a window made
    // for it from the start is not destroyed and made again (and shown
    // twice) when the renderer is created on it.
    const char* driver = SDL_GetHint(SDL_HINT_RENDER_DRIVER);
    uint32_t flags = !driver || !driver[0] || SDL_strcasecmp(driver, "opengl") == 0
                         ? SDL_WINDOW_OPENGL
                         : 0;
    // The display the window was last on, else the one the pointer is on.
    const int display = WindowDisplay();
    int wx = SDL_WINDOWPOS_CENTERED_DISPLAY(display), wy = SDL_WINDOWPOS_CENTERED_DISPLAY(display);
    int ww = w, wh = h;
    fullScreen_ = fullScreen;
    if (fullScreen) {
      // Desktop full screen. The window is also created covering the whole
      // display, so it fills the screen even where no window manager applies
      // the full-screen state.
      flags |= SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS;
      SDL_Rect bounds;
      if (SDL_GetDisplayBounds(display, &bounds) == 0 && bounds.w > 0 && bounds.h > 0) {
        wx = bounds.x;
        wy = bounds.y;
        ww = bounds.w;
        wh = bounds.h;
      }
    } else {
      flags |= SDL_WINDOW_RESIZABLE;
      WindowPlacement(display, w, h, wx, wy, ww, wh);
    }
    window_ = SDL_CreateWindow(title ? title : "", wx, wy, ww, wh, flags);
    if (!window_) {
      SDL_Log("cannot create the window: %s", SDL_GetError());
      return false;
    }
    SetIcon();
    start_trace::Mark("window created");
    renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED);
    if (!renderer_) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
    if (!renderer_ || !CreateTexture(w, h)) {
      SDL_Log("cannot create the renderer: %s", SDL_GetError());
      DestroyMainWindow();
      return false;
    }
    start_trace::Mark("renderer created");
    vsync_ = -1;
    if (!fullScreen) {
      windowedW_ = placedW_ = ww;
      windowedH_ = placedH_ = wh;
    }
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    SDL_RenderPresent(renderer_);

    // A new window of the running program comes to the front with the
    // keyboard focus, as the player expects after starting the game.
    SDL_RaiseWindow(window_);
    SDL_PumpEvents();
    if (!(SDL_GetWindowFlags(window_) & SDL_WINDOW_INPUT_FOCUS)) SDL_SetWindowInputFocus(window_);
    // The client origin, as the platform reports it on creation.
    int x = 0, y = 0;
    SDL_GetWindowPosition(window_, &x, &y);
    detail::Enqueue(kMsgMove, 0, PackPoint(x, y));
    start_trace::Mark("window shown");
    return true;
  }

  void DestroyMainWindow() override {
    NoteDisplay();
    if (texture_) SDL_DestroyTexture(texture_);
    if (noticeTexture_) SDL_DestroyTexture(noticeTexture_);
    noticeTexture_ = nullptr;
    if (renderer_) SDL_DestroyRenderer(renderer_);
    if (window_) SDL_DestroyWindow(window_);
    texture_ = nullptr;
    renderer_ = nullptr;
    window_ = nullptr;
    texW_ = texH_ = 0;
    framePresented_ = false;
    confined_ = false;
  }

  void MinimizeMainWindow() override {
    if (window_) SDL_MinimizeWindow(window_);
  }

  void RaiseMainWindow() override {
    if (!window_) return;
    SDL_RestoreWindow(window_);
    SDL_RaiseWindow(window_);
  }

  void DesktopSize(int& w, int& h) override {
    SDL_DisplayMode mode;
    int display = window_ ? SDL_GetWindowDisplayIndex(window_) : 0;
    if (display < 0) display = 0;
    if (SDL_GetDesktopDisplayMode(display, &mode) == 0 && mode.w > 0 && mode.h > 0) {
      w = mode.w;
      h = mode.h;
    }
  }

  void ClientSize(int& w, int& h) override {
    if (!window_) return;
    SDL_GetWindowSize(window_, &w, &h);
  }

  bool PresentFrame(const uint16_t* pixels, int w, int h, int pitch, bool vsync) override {
    if (!renderer_ || !pixels || w <= 0 || h <= 0 || pitch < w) return false;
    if ((w != texW_ || h != texH_) && !CreateTexture(w, h)) return false;
    if (SDL_UpdateTexture(texture_, nullptr, pixels, pitch * 2) != 0) return false;
    framePresented_ = true;
    // The pass rhythm comes from the clock; waiting for the vertical blank
    // is added only where the display's refresh falls in step with it.
    int want = vsync && VsyncHelps(RefreshRate()) ? 1 : 0;
    if (want != vsync_) {
      // Renderers without vsync control keep presenting without the wait.
      SDL_RenderSetVSync(renderer_, want);
      vsync_ = want;
    }
    Redraw();
    return true;
  }

  bool ApplyDisplayMode(const DisplayMode& mode) override {
    const DisplayMode old = mode_;
    mode_ = mode;
    mode_.scale = mode.scale < 1 ? 1 : (mode.scale > 8 ? 8 : mode.scale);
    scale_ = mode_.scale;
    if (!window_) return mode_.fullScreen;
    if (mode_.fullScreen != fullScreen_) {
      if (mode_.fullScreen) {
        NoteWindowedSize();
        fullScreen_ = true;
        // Covering the display first, as a new full-screen window does, so
        // that it fills the screen even where no window manager applies the
        // full-screen state.
        const int display = SDL_GetWindowDisplayIndex(window_);
        SDL_Rect bounds;
        if (display >= 0 && SDL_GetDisplayBounds(display, &bounds) == 0 && bounds.w > 0) {
          SDL_SetWindowBordered(window_, SDL_FALSE);
          SDL_SetWindowPosition(window_, bounds.x, bounds.y);
          SDL_SetWindowSize(window_, bounds.w, bounds.h);
        }
        SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
      } else {
        fullScreen_ = false;
        SDL_SetWindowFullscreen(window_, 0);
        // A window that started full screen was made borderless.
        SDL_SetWindowBordered(window_, SDL_TRUE);
        SDL_SetWindowResizable(window_, SDL_TRUE);
        PlaceWindow();
      }
    } else if (!fullScreen_ && (old.scale != mode_.scale || old.width != mode_.width ||
                                old.height != mode_.height)) {
      PlaceWindow();
    }
    FitPicture();
    Redraw();
    int x = 0, y = 0;
    SDL_GetWindowPosition(window_, &x, &y);
    detail::Enqueue(kMsgMove, 0, PackPoint(x, y));
    return fullScreen_;
  }

  void WindowedSize(int& w, int& h) override {
    if (window_ && !fullScreen_) NoteWindowedSize();
    // Only a size the player gave the window by hand.
    const bool byHand = windowedW_ != placedW_ || windowedH_ != placedH_;
    w = byHand ? windowedW_ : 0;
    h = byHand ? windowedH_ : 0;
  }

  void ShowNotice(const char* text, uint32_t until) override {
    if (!renderer_) return;
    static uint32_t pixels[kNoticeWidth * kNoticeHeight];
    if (!DrawNoticePicture(text, pixels)) return;
    if (!noticeTexture_) {
      noticeTexture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888,
                                         SDL_TEXTUREACCESS_STATIC, kNoticeWidth, kNoticeHeight);
      if (!noticeTexture_) return;
      SDL_SetTextureBlendMode(noticeTexture_, SDL_BLENDMODE_BLEND);
    }
    if (SDL_UpdateTexture(noticeTexture_, nullptr, pixels, kNoticeWidth * 4) != 0) return;
    noticeUntil_ = until;
    noticeShown_ = true;
    Redraw();
  }

  // ------------------------------------------------------------ cursor

  void ApplyCursor(bool visible) override { SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE); }

  void CursorPos(int& x, int& y) override { SDL_GetGlobalMouseState(&x, &y); }

  void PictureToDesktop(int& x, int& y) override {
    if (!window_ || !renderer_) return;
    int wx = x, wy = y;
    SDL_RenderLogicalToWindow(renderer_, float(x), float(y), &wx, &wy);
    int ox = 0, oy = 0;
    SDL_GetWindowPosition(window_, &ox, &oy);
    x = ox + wx;
    y = oy + wy;
  }

  void SetCursorPos(int x, int y) override {
    // A confined cursor stays inside its rectangle even when moved by the
    // program (SDL's confinement only holds back the user's motion).
    if (confined_) {
      x = x < confL_ ? confL_ : (x >= confR_ ? confR_ - 1 : x);
      y = y < confT_ ? confT_ : (y >= confB_ ? confB_ - 1 : y);
    }
    SDL_WarpMouseGlobal(x, y);
  }

  void ConfineCursor(int l, int t, int r, int b) override {
    if (!window_) return;
    int wx = 0, wy = 0, ww = 0, wh = 0;
    SDL_GetWindowPosition(window_, &wx, &wy);
    SDL_GetWindowSize(window_, &ww, &wh);
    // In full screen the rectangle is the screen's own, (0, 0) at the top
    // left of the display the window fills, wherever that display lies on
    // the desktop.
    if (fullScreen_) {
      SDL_Rect bounds;
      const int display = SDL_GetWindowDisplayIndex(window_);
      if (display >= 0 && SDL_GetDisplayBounds(display, &bounds) == 0) {
        l += bounds.x;
        r += bounds.x;
        t += bounds.y;
        b += bounds.y;
      }
    }
    // Desktop rectangle (right and bottom exclusive) into window
    // coordinates, cut to the window, which is all SDL can confine to.
    int left = l - wx < 0 ? 0 : l - wx;
    int top = t - wy < 0 ? 0 : t - wy;
    int right = r - wx > ww ? ww : r - wx;
    int bottom = b - wy > wh ? wh : b - wy;
    SDL_Rect rect{left, top, right - left, bottom - top};
    if (rect.w <= 0 || rect.h <= 0 || SDL_SetWindowMouseRect(window_, &rect) != 0) {
      // Confine to the whole window instead.
      SDL_SetWindowMouseRect(window_, nullptr);
      SDL_SetWindowMouseGrab(window_, SDL_TRUE);
      rect = SDL_Rect{0, 0, ww, wh};
    } else {
      SDL_SetWindowMouseGrab(window_, SDL_FALSE);
    }
    confL_ = wx + rect.x;
    confT_ = wy + rect.y;
    confR_ = confL_ + rect.w;
    confB_ = confT_ + rect.h;
    confined_ = true;
  }

  void ReleaseCursor() override {
    if (!window_ || !confined_) return;
    SDL_SetWindowMouseRect(window_, nullptr);
    SDL_SetWindowMouseGrab(window_, SDL_FALSE);
    confined_ = false;
  }

  // ------------------------------------------------------------ boxes

  int MessageBox(const char* caption, const char* text, BoxIcon icon,
                 BoxButtons buttons) override {
    const bool yesNo = buttons == BoxButtons::YesNo;
    // The platform's line breaks are "\r\n"; the box wants plain "\n".
    char captionBuf[256];
    char textBuf[2048];
    CopyText(captionBuf, sizeof captionBuf, caption);
    CopyText(textBuf, sizeof textBuf, text);

    SDL_MessageBoxButtonData buttonData[2];
    int buttonCount;
    if (yesNo) {
      // Listed in reading order; Return answers Yes, Escape No.
      buttonData[0] = {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "はい"};
      buttonData[1] = {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "いいえ"};
      buttonCount = 2;
    } else {
      buttonData[0] = {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT |
                           SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT,
                       1, "OK"};
      buttonCount = 1;
    }
    SDL_MessageBoxData box{};
    box.flags = (icon == BoxIcon::Exclamation ? SDL_MESSAGEBOX_WARNING
                                              : SDL_MESSAGEBOX_INFORMATION) |
                SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
    box.window = window_;
    box.title = captionBuf;
    box.message = textBuf;
    box.numbuttons = buttonCount;
    box.buttons = buttonData;
    int pressed = -1;
    detail::BeginBlockingBox();
    const int shown = SDL_ShowMessageBox(&box, &pressed);
    detail::EndBlockingBox();
    if (shown != 0) {
      fprintf(stderr, "[%s] %s\n", captionBuf, textBuf);
      return yesNo ? 0 : 1;
    }
    // Closing the box without a button answers OK or No.
    if (!yesNo) return 1;
    return pressed == 1 ? 1 : 0;
  }

  void Beep() override {
    if (beepState_ == BeepState::Failed) return;
    if (beepState_ == BeepState::Unopened && !OpenBeep()) {
      beepState_ = BeepState::Failed;
      return;
    }
    // One beep at a time: a burst of error reports does not pile up sound.
    if (SDL_GetQueuedAudioSize(beepDevice_) > sizeof beepSamples_ / 2) return;
    SDL_QueueAudio(beepDevice_, beepSamples_, sizeof beepSamples_);
  }

 private:
  enum class BeepState { Unopened, Open, Failed };

  static int64_t MonotonicNs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return int64_t(t.tv_sec) * 1000000000 + t.tv_nsec;
  }

  void SleepUntil(int64_t target) {
    if (preciseSleep_) {
      timespec t{static_cast<time_t>(target / 1000000000), static_cast<long>(target % 1000000000)};
      while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &t, nullptr) == EINTR) {
      }
      return;
    }
    for (int64_t now = MonotonicNs(); now < target; now = MonotonicNs()) SDL_Delay(1);
  }

  // The window's size and place for the windowed mode on `display`: the
  // size the player left it at, else the picture times the scale, reduced
  // while it would not fit on the desktop (said on standard error); on a
  // desktop smaller than the picture itself, the picture shrinks to fit.
  // The window is centred on the desktop's usable area.
  void WindowPlacement(int display, int w, int h, int& wx, int& wy, int& ww, int& wh) {
    const bool sized = mode_.width > 0 && mode_.height > 0;
    ww = sized ? mode_.width : w * scale_;
    wh = sized ? mode_.height : h * scale_;
    SDL_Rect usable;
    if (SDL_GetDisplayUsableBounds(display, &usable) != 0 || usable.w <= 0 || usable.h <= 0) return;
    if (sized) {
      ww = std::min(ww, usable.w);
      wh = std::min(wh, usable.h);
    } else {
      int scale = scale_;
      while (scale > 1 && (w * scale > usable.w || h * scale > usable.h)) --scale;
      ww = w * scale;
      wh = h * scale;
      if (ww > usable.w || wh > usable.h) {
        const double fit = std::min(double(usable.w) / w, double(usable.h) / h);
        // (FitPicture reports the scale.)
        ww = std::max(1, int(w * fit));
        wh = std::max(1, int(h * fit));
      } else if (scale != scale_) {
        fprintf(stderr,
                "samplegame: a window at scale %d does not fit on the desktop (%d x %d); "
                "scale %d is used\n",
                scale_, usable.w, usable.h, scale);
      }
    }
    wx = usable.x + (usable.w - ww) / 2;
    wy = usable.y + (usable.h - wh) / 2;
  }

  // Sizes and centres the window for the windowed mode.
  void PlaceWindow() {
    int display = SDL_GetWindowDisplayIndex(window_);
    if (display < 0) display = 0;
    const int w = texW_ > 0 ? texW_ : 640, h = texH_ > 0 ? texH_ : 480;
    int wx = SDL_WINDOWPOS_CENTERED_DISPLAY(display), wy = wx, ww = w, wh = h;
    WindowPlacement(display, w, h, wx, wy, ww, wh);
    SDL_SetWindowSize(window_, ww, wh);
    SDL_SetWindowPosition(window_, wx, wy);
    windowedW_ = placedW_ = ww;
    windowedH_ = placedH_ = wh;
  }

  void NoteWindowedSize() {
    if (!window_ || (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN)) return;
    int w = 0, h = 0;
    SDL_GetWindowSize(window_, &w, &h);
    if (w > 0 && h > 0) windowedW_ = w, windowedH_ = h;
  }

  // Remembers the display the window is on, for the next window.
  void NoteDisplay() {
    if (!window_) return;
    const int display = SDL_GetWindowDisplayIndex(window_);
    if (display >= 0) lastDisplay_ = display;
  }

  // The display a new window opens on.
  int WindowDisplay() const {
    DisplayRect displays[8];
    int count = SDL_GetNumVideoDisplays();
    count = count < 0 ? 0 : (count > 8 ? 8 : count);
    for (int i = 0; i < count; ++i) {
      SDL_Rect b{};
      if (SDL_GetDisplayBounds(i, &b) == 0) displays[i] = DisplayRect{b.x, b.y, b.w, b.h};
    }
    int x = 0, y = 0;
    SDL_GetGlobalMouseState(&x, &y);
    return ChooseDisplay(lastDisplay_, displays, count, x, y);
  }

  // The refresh rate of the display the window is on (0 unknown).
  int RefreshRate() const {
    int display = window_ ? SDL_GetWindowDisplayIndex(window_) : 0;
    SDL_DisplayMode mode;
    if (display < 0 || SDL_GetCurrentDisplayMode(display, &mode) != 0) return 0;
    return mode.refresh_rate;
  }

  bool CreateTexture(int w, int h) {
    if (texture_) SDL_DestroyTexture(texture_);
    texW_ = texH_ = 0;
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING, w, h);
    if (!texture_) return false;
    texW_ = w;
    texH_ = h;
    SDL_RenderSetLogicalSize(renderer_, w, h);
    FitPicture();
    framePresented_ = false;
    return true;
  }

  // The picture is scaled by the largest whole factor that fits the window;
  // a window (or full screen) smaller than the picture shows it shrunk to
  // fit, rather than cut, and says so once.
  void FitPicture() {
    if (!renderer_ || texW_ <= 0 || texH_ <= 0) return;
    int ow = 0, oh = 0;
    if (SDL_GetRendererOutputSize(renderer_, &ow, &oh) != 0 || ow <= 0 || oh <= 0) {
      SDL_RenderSetIntegerScale(renderer_, SDL_TRUE);
      return;
    }
    // Whole-number scaling, or with fill the largest 4:3 size; the logical
    // size keeps the picture centred with black bars either way.
    const bool small = ow < texW_ || oh < texH_;
    SDL_RenderSetIntegerScale(renderer_, small || mode_.fill ? SDL_FALSE : SDL_TRUE);
    if (small && (ow != smallW_ || oh != smallH_)) {
      smallW_ = ow;
      smallH_ = oh;
      fprintf(stderr,
              "samplegame: the screen area (%d x %d) is smaller than the picture (%d x %d); "
              "it is shown at scale %.2f\n",
              ow, oh, texW_, texH_, std::min(double(ow) / texW_, double(oh) / texH_));
    }
  }

  // Shows the last uploaded picture (black before the first one).
  void Redraw() {
    redrawOwed_ = false;
    if (!renderer_) return;
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    if (framePresented_) SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
    // The notice goes over what is shown, never into the picture.
    if (noticeShown_ && noticeTexture_ && int32_t(noticeUntil_ - SDL_GetTicks()) > 0) {
      const int h = texH_ > 0 ? texH_ : 480;
      SDL_Rect at{0, h - kNoticeHeight, kNoticeWidth, kNoticeHeight};
      SDL_RenderCopy(renderer_, noticeTexture_, nullptr, &at);
    } else {
      noticeShown_ = false;
    }
    SDL_RenderPresent(renderer_);
  }

  // A 32 x 32 icon: a small ship, drawn here as the program has no resources.
  void SetIcon() {
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormat(0, 32, 32, 32, SDL_PIXELFORMAT_RGBA32);
    if (!icon) return;
    if (SDL_LockSurface(icon) == 0) {
      for (int y = 0; y < 32; ++y) {
        auto* row = reinterpret_cast<uint8_t*>(icon->pixels) + y * icon->pitch;
        for (int x = 0; x < 32; ++x) {
          uint8_t* p = row + x * 4;
          int dx = x < 16 ? 15 - x : x - 16;  // distance from the centre line
          bool hull = y >= 3 && y <= 27 && dx <= (y - 3) / 3;
          bool wing = y >= 17 && y <= 25 && dx <= 6 + (y - 17) * 7 / 8;
          bool cockpit = y >= 10 && y <= 15 && dx <= 1;
          uint8_t r = 0, g = 0, b = 0, a = 0;
          if (cockpit) {
            r = 255, g = 220, b = 64, a = 255;
          } else if (hull || wing) {
            r = 96, g = 170, b = 255, a = 255;
          }
          p[0] = r;
          p[1] = g;
          p[2] = b;
          p[3] = a;
        }
      }
      SDL_UnlockSurface(icon);
      SDL_SetWindowIcon(window_, icon);
    }
    SDL_FreeSurface(icon);
  }

  bool OpenBeep() {
    // The game's audio device has said whether there is sound.
    QuietStderr quiet;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    SDL_AudioSpec want{};
    want.freq = kBeepRate;
    want.format = AUDIO_S16SYS;
    want.channels = 1;
    want.samples = 1024;
    want.callback = nullptr;  // fed with SDL_QueueAudio
    beepDevice_ = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
    if (beepDevice_ == 0) {
      SDL_QuitSubSystem(SDL_INIT_AUDIO);
      return false;
    }
    // 880 Hz sine with a 5 ms rise and a 40 ms fall, so it starts and ends
    // without a click.
    const double twoPi = 6.283185307179586;
    const int attack = kBeepRate * 5 / 1000;
    const int release = kBeepRate * 40 / 1000;
    for (int i = 0; i < kBeepSamples; ++i) {
      double env = 1.0;
      if (i < attack) env = static_cast<double>(i) / attack;
      int fromEnd = kBeepSamples - 1 - i;
      if (fromEnd < release) env = std::min(env, static_cast<double>(fromEnd) / release);
      double s = std::sin(twoPi * 880.0 * i / kBeepRate) * env * 0.3;
      beepSamples_[i] = static_cast<int16_t>(std::lround(s * 32767.0));
    }
    SDL_PauseAudioDevice(beepDevice_, 0);
    beepState_ = BeepState::Open;
    return true;
  }

  // Copies UTF-8 text into `out`, dropping carriage returns and never
  // cutting a multi-byte character in half.
  static void CopyText(char* out, size_t size, const char* in) {
    size_t n = 0;
    if (in) {
      for (const char* p = in; *p; ++p) {
        if (*p == '\r') continue;
        unsigned char c = static_cast<unsigned char>(*p);
        size_t len = c < 0x80 ? 1 : (c >= 0xF0 ? 4 : (c >= 0xE0 ? 3 : (c >= 0xC0 ? 2 : 1)));
        if (n + len >= size) break;
        size_t k = 0;
        while (k < len && p[k]) out[n++] = p[k++];
        p += k - 1;
      }
    }
    out[n] = '\0';
  }

  void Translate(const SDL_Event& e) {
    switch (e.type) {
      case SDL_KEYDOWN:
      case SDL_KEYUP: {
        int vk = VirtualKey(e.key.keysym);
        if (vk == 0) break;
        bool down = e.type == SDL_KEYDOWN;
        // Alt and F10, and every key while Alt is held, are system keys.
        // The desktop's autorepeat arrives as further key-downs marked as
        // repeats.
        bool alt = (e.key.keysym.mod & KMOD_ALT) != 0;
        bool system = vk == kVkMenu || vk == kVkF10 || alt;
        uint32_t msg = down ? (system ? kMsgSysKeyDown : kMsgKeyDown)
                            : (system ? kMsgSysKeyUp : kMsgKeyUp);
        detail::Enqueue(msg, vk, down && e.key.repeat ? kKeyRepeat : 0);
        break;
      }
      case SDL_MOUSEMOTION:
        detail::Enqueue(kMsgMouseMove, 0, ClientPoint(e.motion.x, e.motion.y));
        detail::Enqueue(kMsgSetCursor, 0, 0);
        break;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP: {
        bool left = e.button.button == SDL_BUTTON_LEFT;
        if (!left && e.button.button != SDL_BUTTON_RIGHT) break;
        intptr_t point = ClientPoint(e.button.x, e.button.y);
        uint32_t msg;
        if (e.type == SDL_MOUSEBUTTONUP) {
          msg = left ? kMsgLButtonUp : kMsgRButtonUp;
        } else if (e.button.clicks >= 2 && e.button.clicks % 2 == 0) {
          // Every second click of a series is a double click.
          msg = left ? kMsgLButtonDblClk : kMsgRButtonDblClk;
        } else {
          msg = left ? kMsgLButtonDown : kMsgRButtonDown;
        }
        detail::Enqueue(msg, 0, point);
        break;
      }
      case SDL_WINDOWEVENT:
        if (!window_ || e.window.windowID != SDL_GetWindowID(window_)) break;
        switch (e.window.event) {
          case SDL_WINDOWEVENT_FOCUS_GAINED:
            detail::Enqueue(kMsgActivateApp, 1, 0);
            break;
          case SDL_WINDOWEVENT_FOCUS_LOST:
            detail::Enqueue(kMsgActivateApp, 0, 0);
            break;
          case SDL_WINDOWEVENT_MOVED: {
            NoteDisplay();
            int x = 0, y = 0;
            SDL_GetWindowPosition(window_, &x, &y);
            detail::Enqueue(kMsgMove, 0, PackPoint(x, y));
            break;
          }
          case SDL_WINDOWEVENT_SIZE_CHANGED:
            if (!fullScreen_) NoteWindowedSize();
            FitPicture();
            redrawOwed_ = true;
            break;
          case SDL_WINDOWEVENT_EXPOSED:
            // The window shows the last picture again: at the end of the
            // coming frame pass, which presents a new one anyway (the
            // events of a new window no longer draw the black picture
            // once more, a few milliseconds each in software), or before
            // the program waits for events while it is inactive.
            redrawOwed_ = true;
            break;
          case SDL_WINDOWEVENT_CLOSE:
            closeSent_ = true;
            detail::Enqueue(kMsgClose, 0, 0);
            break;
          default:
            break;
        }
        break;
      case SDL_AUDIODEVICEREMOVED:
        if (!e.adevice.iscapture) audio::DeviceRemoved(e.adevice.which);
        break;
      case SDL_QUIT:
        if (!closeSent_) detail::Enqueue(kMsgClose, 0, 0);
        closeSent_ = true;
        break;
      default:
        break;
    }
  }

  // Mouse coordinates in the picture's pixels, held inside the picture (the
  // black bars of full screen lie outside it).
  intptr_t ClientPoint(int x, int y) const {
    int w = texW_ > 0 ? texW_ : 640, h = texH_ > 0 ? texH_ : 480;
    x = x < 0 ? 0 : (x >= w ? w - 1 : x);
    y = y < 0 ? 0 : (y >= h ? h - 1 : y);
    return PackPoint(x, y);
  }

  bool started_ = false;
  int scale_ = 2;
  uint32_t pass_ = 0;
  bool preciseSleep_ = true;
  int64_t lastPassEnd_ = 0;  // ns of the monotonic clock; 0 before the first pass
  bool closeSent_ = false;
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  int texW_ = 0, texH_ = 0;
  int smallW_ = 0, smallH_ = 0;  // the output size last reported as too small
  int vsync_ = -1;  // vsync state set on the renderer; -1 not set yet
  bool framePresented_ = false;
  bool redrawOwed_ = false;  // the desktop asked for a repaint since the last one
  bool confined_ = false;
  bool fullScreen_ = false;
  DisplayMode mode_{};
  int windowedW_ = 0, windowedH_ = 0;  // the windowed mode's size; 0 none yet
  int placedW_ = 0, placedH_ = 0;      // the size the program last gave the window
  SDL_Texture* noticeTexture_ = nullptr;
  uint32_t noticeUntil_ = 0;
  bool noticeShown_ = false;
  int lastDisplay_ = -1;  // the display the last window was on; -1 none yet
  int confL_ = 0, confT_ = 0, confR_ = 0, confB_ = 0;  // desktop, right/bottom exclusive
  BeepState beepState_ = BeepState::Unopened;
  SDL_AudioDeviceID beepDevice_ = 0;
  int16_t beepSamples_[kBeepSamples] = {};
};

}  // namespace

namespace detail {

Backend& SdlBackend() {
  static Sdl backend;
  return backend;
}

}  // namespace detail

}  // namespace plat
