#include "platform/platform.h"

#include <cstdio>

#include "platform/backend.h"
#include "platform/drivers.h"
#include "platform/replay.h"
#include "platform/start_trace.h"

namespace plat {

namespace {

constexpr int kQueueSize = 512;

struct State {
  detail::Backend* backend = nullptr;
  bool headless = false;
  Message queue[kQueueSize];
  int head = 0;
  int count = 0;
  uint32_t passes = 0;
  InputScript script;
  bool scriptKeys[256] = {};
  // Cursor as the platform keeps it: a show counter (visible at 0 and
  // above) and the shape set over the window (blank or arrow).
  int showCount = 0;
  bool blankShape = false;
  Options options;
};

State& S() {
  static State state;
  return state;
}

// A recording or a replay stands between the frame and the backend.
bool Recorded() { return replay::Recording() || replay::Replaying(); }

void ApplyCursor() {
  State& s = S();
  if (s.backend) s.backend->ApplyCursor(s.showCount >= 0 && !s.blankShape);
}

}  // namespace

namespace detail {

InputScript& Script() { return S().script; }

void Enqueue(uint32_t message, intptr_t wparam, intptr_t lparam) {
  State& s = S();
  if (s.count == kQueueSize) return;  // a full queue drops input, as the platform's does
  if (replay::Capturing() && !replay::TakeBackendMessage(message, wparam, lparam)) return;
  s.queue[(s.head + s.count) % kQueueSize] = Message{message, wparam, lparam};
  ++s.count;
}

void DeliverScriptEvents(uint32_t pass) {
  State& s = S();
  s.script.TakeKeyEvents(pass, [&](const ScriptEvent& e) {
    int vk = e.value & 0xFF;
    bool down = e.kind == ScriptEvent::KeyDown;
    s.scriptKeys[vk] = down;
    // Alt and F10 arrive as system keys, as the platform sends them.
    bool system = vk == kVkMenu || vk == kVkF10 || (vk != kVkMenu && s.scriptKeys[kVkMenu]);
    uint32_t msg = down ? (system ? kMsgSysKeyDown : kMsgKeyDown)
                        : (system ? kMsgSysKeyUp : kMsgKeyUp);
    Enqueue(msg, vk, 0);
  });
}

bool ScriptKeyDown(int vk) { return vk >= 0 && vk < 256 && S().scriptKeys[vk]; }

Backend* CurrentBackend() { return S().backend; }

bool LiveKeyDown(int vk) {
  State& s = S();
  if (vk < 0 || vk > 255) return false;
  return ScriptKeyDown(vk) || (s.backend && s.backend->KeyDown(vk));
}

}  // namespace detail

bool Init(const Options& options, char* error, size_t errorSize) {
  State& s = S();
  if (s.backend) Shutdown();
  s.head = s.count = 0;
  s.passes = 0;
  s.showCount = 0;
  s.blankShape = false;
  for (bool& k : s.scriptKeys) k = false;
  s.script.Clear();
  if (options.inputScript && !s.script.Load(options.inputScript, error, errorSize)) return false;
  if (!detail::SelectDrivers(options, error, errorSize)) return false;
  s.headless = options.headless;
  s.options = options;
  detail::Backend* b = options.headless ? &detail::HeadlessBackend() : &detail::SdlBackend();
  detail::InstallQuitSignals();
  if (!b->Start(options, error, errorSize)) {
    detail::RestoreQuitSignals();
    return false;
  }
  s.backend = b;
  return true;
}

void Shutdown() {
  State& s = S();
  ReleaseInstanceLock();
  detail::CloseAudio();
  if (Recorded()) replay::EndSession();
  if (s.backend) s.backend->Stop();
  s.backend = nullptr;
  detail::RestoreQuitSignals();
}

bool IsHeadless() { return S().headless; }

const Options& StartOptions() { return S().options; }

uint32_t Clock() {
  if (Recorded()) return replay::Clock();
  return S().backend ? S().backend->Clock() : 0;
}

void WaitUntil(uint32_t deadline) {
  if (!S().backend) return;
  if (Recorded()) replay::WaitUntil(*S().backend, deadline);
  else S().backend->WaitUntil(deadline);
}

void BeginFramePass() {
  State& s = S();
  if (s.backend) s.backend->BeginFramePass(s.passes + 1);
  if (s.backend && Recorded()) replay::BeginFramePass(*s.backend, s.passes + 1);
  detail::AdvanceAudio();
}

void EndFramePass() {
  State& s = S();
  ++s.passes;
  // The pass's picture is out; the pacing sleep that follows is not part of
  // it.
  if (s.passes <= 2) start_trace::Mark(s.passes == 1 ? "first pass" : "second pass");
  if (s.backend) s.backend->EndFramePass();
}

uint32_t FramePasses() { return S().passes; }

bool PeekMessage(Message& out) {
  State& s = S();
  if (s.count == 0 && s.backend) {
    if (Recorded()) replay::Pump(*s.backend);
    else s.backend->Pump();
  }
  if (s.count == 0) return false;
  out = s.queue[s.head];
  s.head = (s.head + 1) % kQueueSize;
  --s.count;
  return true;
}

void WaitMessage() {
  State& s = S();
  if (s.count != 0 || !s.backend) return;
  if (Recorded()) replay::WaitMessage(*s.backend);
  else s.backend->WaitForEvent();
}

void PostMessage(uint32_t message, intptr_t wparam, intptr_t lparam) {
  detail::Enqueue(message, wparam, lparam);
}

intptr_t DefaultHandling(const Message& m) {
  State& s = S();
  if (m.message == kMsgSetCursor) {
    // The window class's cursor is the arrow.
    s.blankShape = false;
    ApplyCursor();
    return 0;
  }
  if (m.message == kMsgSysKeyDown && m.wparam == kVkF4 && KeyDown(kVkMenu)) {
    // Alt+F4 closes the window.
    detail::Enqueue(kMsgClose, 0, 0);
    return 0;
  }
  return s.backend ? s.backend->DefaultHandling(m) : 0;
}

bool KeyDown(int vk) {
  State& s = S();
  if (vk < 0 || vk > 255) return false;
  if (Recorded()) return replay::KeyDown(vk);
  return detail::ScriptKeyDown(vk) || (s.backend && s.backend->KeyDown(vk));
}

bool CreateMainWindow(const char* title, int w, int h, bool fullScreen) {
  if (!S().backend) return false;
  if (Recorded()) return replay::CreateMainWindow(*S().backend, title, w, h, fullScreen);
  return S().backend->CreateMainWindow(title, w, h, fullScreen);
}
void DestroyMainWindow() {
  if (S().backend) S().backend->DestroyMainWindow();
}
void MinimizeMainWindow() {
  if (S().backend) S().backend->MinimizeMainWindow();
}
void RaiseMainWindow() {
  if (S().backend) S().backend->RaiseMainWindow();
}
void DesktopSize(int& w, int& h) {
  w = 640;
  h = 480;
  if (S().backend) S().backend->DesktopSize(w, h);
}
void ClientSize(int& w, int& h) {
  w = 640;
  h = 480;
  if (S().backend) S().backend->ClientSize(w, h);
}
int DisplayDepth() { return 16; }

bool ApplyDisplayMode(const DisplayMode& mode) {
  return S().backend ? S().backend->ApplyDisplayMode(mode) : mode.fullScreen;
}
void WindowedSize(int& w, int& h) {
  w = h = 0;
  if (S().backend) S().backend->WindowedSize(w, h);
}
void ShowNotice(const char* text, uint32_t milliseconds) {
  if (S().backend) S().backend->ShowNotice(text ? text : "", S().backend->Clock() + milliseconds);
}

bool PresentFrame(const uint16_t* pixels, int w, int h, int pitch, bool vsync) {
  return S().backend && S().backend->PresentFrame(pixels, w, h, pitch, vsync);
}

void ShowCursor(bool show) {
  S().showCount += show ? 1 : -1;
  ApplyCursor();
}
void SetBlankCursor(bool blank) {
  S().blankShape = blank;
  ApplyCursor();
}
bool CursorVisible() { return S().showCount >= 0 && !S().blankShape; }
void CursorPos(int& x, int& y) {
  x = y = 0;
  if (S().backend) S().backend->CursorPos(x, y);
}
void SetCursorPos(int x, int y) {
  if (S().backend) S().backend->SetCursorPos(x, y);
}
void PictureToDesktop(int& x, int& y) {
  if (S().backend) S().backend->PictureToDesktop(x, y);
}
void ConfineCursor(int l, int t, int r, int b) {
  if (S().backend) S().backend->ConfineCursor(l, t, r, b);
}
void ReleaseCursor() {
  if (S().backend) S().backend->ReleaseCursor();
}

int MessageBox(const char* caption, const char* text, BoxIcon icon, BoxButtons buttons) {
  if (!S().backend) {
    fprintf(stderr, "[%s] %s\n", caption, text);
    return buttons == BoxButtons::Ok ? 1 : 0;
  }
  if (Recorded()) return replay::MessageBox(*S().backend, caption, text, icon, buttons);
  return S().backend->MessageBox(caption, text, icon, buttons);
}

void Beep() {
  if (S().backend) S().backend->Beep();
}

}  // namespace plat
