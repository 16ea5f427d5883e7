// The frame-rate meter and the debug text, printed with the library's
// Gothic face, 12 pixels high, white on navy.
//
// The meter samples every two seconds: the rate is the frames counted
// since the last sample halved. The count stops at 999, so the meter never
// shows more than 499.5 fps. The first sample, at the first call, is 0 and
// does not count as the worst rate.
#include "frame/fps_meter.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>

#include "core/app_state.h"
#include "core/text_copy.h"
#include "frame/ox_system.h"
#include "input/ox_text.h"
#include "platform/platform.h"

namespace {

constexpr uint32_t kSamplePeriod = 2000;  // ms
constexpr int kMaxFrames = 999;
constexpr float kInitialWorst = 999.9f;
constexpr int kFontHeight = 12;
constexpr int32_t kWhite = 0xFFFFFF;
constexpr int32_t kNavy = 0x800000;  // blue 128
constexpr size_t kTextSize = 256;

struct Meter {
  bool sampled;         // a first sample was taken (else: sample now)
  uint32_t sampleTime;  // when the next sample is due
  int frames;
  float rate, best, worst;
  char text[kTextSize];
};

constexpr Meter Initial() {
  Meter m{};
  m.worst = kInitialWorst;
  return m;
}

constinit Meter g_meter = Initial();

// Is the sample due? Compared as a signed distance, so the meter keeps
// sampling across the wrap of the millisecond clock.
bool Due(uint32_t now) {
  return !g_meter.sampled || static_cast<int32_t>(now - g_meter.sampleTime) >= 0;
}

void Print(int x, int y, const char* text) {
  oxText::SelectFont(oxText::kGothic, kFontHeight, 0, 0, 0, 0);
  oxText::SetColour(kWhite, kNavy, 0);
  oxText::SetOpaqueBackground();
  oxText::Out(x, y, text);
  oxText::EndText();
}

}  // namespace

namespace ox {

void RestartFrameRate() { g_meter.sampled = false; }
const char* FpsText() { return g_meter.text; }
void ResetFpsMeter() { g_meter = Initial(); }

}  // namespace ox

void oxSystem::ShowFps() {
  Meter& m = g_meter;
  const uint32_t now = plat::Clock();
  if (Due(now)) {
    m.rate = static_cast<float>(m.frames) / 2.0f;
    if (m.rate > m.best) m.best = m.rate;
    if (m.rate > 0 && m.rate < m.worst) m.worst = m.rate;
    m.sampleTime = now + kSamplePeriod;
    m.sampled = true;
    m.frames = 0;
  }
  if (m.frames < kMaxFrames) ++m.frames;
  snprintf(m.text, sizeof m.text, "%3.1f fps ( max %3.1f / min %3.1f )", m.rate, m.best, m.worst);
  Print(0, 0, m.text);
}

void oxSystem::Print(int x, int y, const char* text) {
  if (text) ::Print(x, y, text);
}

void oxSystem::PrintF(int x, int y, const char* format, ...) {
  if (!format) return;
  char text[kTextSize];
  va_list args;
  va_start(args, format);
  ox::FormatText(text, sizeof text, format, args);
  va_end(args);
  ::Print(x, y, text);
}
