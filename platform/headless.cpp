// The headless backend: no window, no devices, a virtual clock.
//
// The clock starts at --clock-start and frame pass n begins at
// clockStart + floor(n * 1000 / 60) (16 or 17 ms a pass), so runs are
// deterministic and independent of the machine's speed. Message boxes are
// written to standard error and answered from the input script.
#include "platform/headless.h"

#include <cstdio>
#include <cstring>

#include "platform/backend.h"

namespace plat {

namespace {

constexpr int kMaxQueuedAnswers = 16;

class Headless final : public detail::Backend {
 public:
  const char* Name() const override { return "headless"; }
  bool RealTime() const override { return false; }
  bool Start(const Options& options, char*, size_t) override {
    clockStart_ = options.clockStart;
    extra_ = 0;
    passClock_ = 0;
    pass_ = 0;
    boxCount_ = beepCount_ = presentCount_ = raiseCount_ = 0;
    answerCount_ = 0;
    window_ = false;
    title_[0] = '\0';
    cursorX_ = cursorY_ = -1;
    cursorShown_ = true;
    confined_ = false;
    memset(&last_, 0, sizeof last_);
    mode_ = DisplayMode{};
    mode_.fullScreen = !options.window;
    mode_.scale = options.scale;
    modeChanges_ = 0;
    notice_[0] = '\0';
    noticeUntil_ = 0;
    return true;
  }
  void Stop() override { window_ = false; }

  uint32_t Clock() override { return clockStart_ + extra_ + passClock_; }
  void WaitUntil(uint32_t deadline) override {
    uint32_t now = Clock();
    if (now <= deadline) extra_ += deadline - now + 1;
  }
  void BeginFramePass(uint32_t pass) override {
    pass_ = pass;
    passClock_ = static_cast<uint32_t>(static_cast<uint64_t>(pass) * 1000 / 60);
  }
  void EndFramePass() override {}

  void Pump() override {
    detail::DeliverScriptEvents(pass_ + 1);
    if (detail::PollRaiseRequest()) detail::Enqueue(kMsgRaise, 0, 0);
    if (detail::TakeQuitSignal()) detail::Enqueue(kMsgClose, 0, 0);
  }
  void WaitForEvent() override {}
  bool KeyDown(int) override { return false; }
  intptr_t DefaultHandling(const Message&) override { return 0; }

  bool CreateMainWindow(const char* title, int, int, bool) override {
    snprintf(title_, sizeof title_, "%s", title ? title : "");
    window_ = true;
    return true;
  }
  void DestroyMainWindow() override { window_ = false; }
  void MinimizeMainWindow() override {}
  void RaiseMainWindow() override { ++raiseCount_; }
  void DesktopSize(int& w, int& h) override {
    w = 640;
    h = 480;
  }
  void ClientSize(int& w, int& h) override {
    w = 640;
    h = 480;
  }
  bool PresentFrame(const uint16_t*, int, int, int, bool) override {
    ++presentCount_;
    return true;
  }
  bool ApplyDisplayMode(const DisplayMode& mode) override {
    mode_ = mode;
    ++modeChanges_;
    return mode.fullScreen;
  }
  void WindowedSize(int& w, int& h) override {
    // Nobody resizes a window that is not there.
    w = h = 0;
  }
  void ShowNotice(const char* text, uint32_t until) override {
    snprintf(notice_, sizeof notice_, "%s", text);
    noticeUntil_ = until;
  }

  void ApplyCursor(bool visible) override { cursorShown_ = visible; }
  void CursorPos(int& x, int& y) override {
    x = cursorX_;
    y = cursorY_;
  }
  void SetCursorPos(int x, int y) override {
    if (confined_) {
      x = x < l_ ? l_ : (x >= r_ ? r_ - 1 : x);
      y = y < t_ ? t_ : (y >= b_ ? b_ - 1 : y);
    }
    cursorX_ = x;
    cursorY_ = y;
  }
  void PictureToDesktop(int&, int&) override {}  // the picture is the desktop
  void ConfineCursor(int l, int t, int r, int b) override {
    confined_ = true;
    l_ = l;
    t_ = t;
    r_ = r;
    b_ = b;
  }
  void ReleaseCursor() override { confined_ = false; }

  int MessageBox(const char* caption, const char* text, BoxIcon icon,
                 BoxButtons buttons) override {
    int answer;
    if (buttons == BoxButtons::Ok) {
      answer = 1;
    } else if (answerCount_ > 0) {
      answer = answers_[0];
      memmove(answers_, answers_ + 1, sizeof(int) * --answerCount_);
    } else {
      int scripted = detail::Script().TakeAnswer(pass_ + 1);
      answer = scripted < 0 ? 0 : scripted;
    }
    ++boxCount_;
    snprintf(last_.caption, sizeof last_.caption, "%s", caption);
    snprintf(last_.text, sizeof last_.text, "%s", text);
    last_.icon = icon == BoxIcon::Question ? 1 : 0;
    last_.buttons = buttons == BoxButtons::YesNo ? 1 : 0;
    last_.answer = answer;
    fprintf(stderr, "[%s] %s%s\n", caption, text,
            buttons == BoxButtons::Ok ? "" : (answer ? " -> Yes" : " -> No"));
    return answer;
  }
  void Beep() override { ++beepCount_; }

  // Inspection for tests.
  headless::BoxRecord last_{};
  int boxCount_ = 0, beepCount_ = 0, presentCount_ = 0, raiseCount_ = 0;
  int answers_[kMaxQueuedAnswers] = {};
  int answerCount_ = 0;
  bool window_ = false;
  char title_[128] = {};
  int cursorX_ = -1, cursorY_ = -1;
  bool cursorShown_ = true;
  bool confined_ = false;
  int l_ = 0, t_ = 0, r_ = 0, b_ = 0;
  uint32_t clockStart_ = 0, extra_ = 0, passClock_ = 0, pass_ = 0;
  DisplayMode mode_{};
  int modeChanges_ = 0;
  char notice_[256] = {};
  uint32_t noticeUntil_ = 0;
};

Headless& H() {
  static Headless backend;
  return backend;
}

}  // namespace

namespace detail {
Backend& HeadlessBackend() { return H(); }
}  // namespace detail

namespace headless {

int BoxCount() { return H().boxCount_; }
const BoxRecord& LastBox() { return H().last_; }
int BeepCount() { return H().beepCount_; }
void QueueAnswer(int answer) {
  if (H().answerCount_ < kMaxQueuedAnswers) H().answers_[H().answerCount_++] = answer;
}
void SetCursor(int x, int y) {
  H().cursorX_ = x;
  H().cursorY_ = y;
}
bool CursorShown() { return H().cursorShown_; }
bool CursorConfined(int* l, int* t, int* r, int* b) {
  if (l) *l = H().l_;
  if (t) *t = H().t_;
  if (r) *r = H().r_;
  if (b) *b = H().b_;
  return H().confined_;
}
int PresentCount() { return H().presentCount_; }
bool WindowExists() { return H().window_; }
const char* WindowTitle() { return H().title_; }
int RaiseCount() { return H().raiseCount_; }
const DisplayMode& CurrentDisplayMode() { return H().mode_; }
int DisplayModeChanges() { return H().modeChanges_; }
const char* Notice() {
  return int32_t(H().noticeUntil_ - H().Clock()) > 0 ? H().notice_ : "";
}
void SetClock(uint32_t ms) { H().extra_ = ms - H().clockStart_ - H().passClock_; }
void AdvanceClock(uint32_t ms) { H().extra_ += ms; }

}  // namespace headless

}  // namespace plat
