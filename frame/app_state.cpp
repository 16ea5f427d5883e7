#include "frame/app_state.h"

#include <cstdio>
#include <cstring>

#include "platform/platform.h"

namespace ox {

namespace {
AppState g_app;
InputState g_input;
uint32_t g_randomState = 1;
}  // namespace

AppState& App() { return g_app; }
InputState& Input() { return g_input; }

void ResetAppState() {
  g_app = AppState{};
  g_input = InputState{};
  g_randomState = 1;
}

void ResetFrameTimer() {
  g_app.frameSeconds = 0;
  g_app.lastFrameTime = plat::Clock();
}

void UpdateFrameTime() {
  uint32_t elapsed = plat::Clock() - g_app.lastFrameTime;  // unsigned: survives the wrap
  g_app.frameSeconds = static_cast<float>(elapsed) / 1000.0f;
  g_app.lastFrameTime = plat::Clock();
}

void RestartFrameClock() { g_app.lastFrameTime = plat::Clock(); }

void RestartBlink() { g_app.blinkDeadline = plat::Clock() + 1000; }

// The C runtime's linear congruential generator, so that a seed gives the
// same sequence on every machine.
void SeedRandom(uint32_t seed) { g_randomState = seed; }

int Random() {
  g_randomState = g_randomState * 214013u + 2531011u;
  return static_cast<int>((g_randomState >> 16) & 0x7FFF);
}

namespace {
// Length of the longest prefix of text[0..n) that does not end inside a
// UTF-8 multi-byte sequence.
size_t CharBoundary(const char* text, size_t n) {
  size_t i = n;
  // Step back over continuation bytes to the lead byte of the last character.
  size_t back = 0;
  while (i > 0 && back < 4 && (static_cast<unsigned char>(text[i - 1]) & 0xC0) == 0x80) {
    --i;
    ++back;
  }
  if (i == 0) return n;
  unsigned char lead = static_cast<unsigned char>(text[i - 1]);
  size_t need = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
  if (lead < 0x80) return n;
  return back >= need ? n : i - 1;
}
}  // namespace

void CopyText(char* out, size_t size, const char* text) {
  if (size == 0) return;
  size_t n = strnlen(text, size);
  if (n >= size) n = CharBoundary(text, size - 1);
  memcpy(out, text, n);
  out[n] = '\0';
}

void FormatText(char* out, size_t size, const char* format, va_list args) {
  if (size == 0) return;
  int n = vsnprintf(out, size, format, args);
  if (n < 0) {
    out[0] = '\0';
    return;
  }
  if (static_cast<size_t>(n) >= size) out[CharBoundary(out, size - 1)] = '\0';
}

}  // namespace ox
