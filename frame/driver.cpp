#include "frame/driver.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "draw/ox_draw_status.h"
#include "draw/ox_surface.h"
#include "frame/ox_system.h"

namespace ox {

namespace {

// Decimal digits only: no sign, space, exponent or hexadecimal prefix.
bool ParseUnsigned(const char* text, uint32_t& out) {
  if (!text || !*text) return false;
  uint64_t v = 0;
  for (const char* p = text; *p; ++p) {
    if (*p < '0' || *p > '9') return false;
    v = v * 10 + uint64_t(*p - '0');
    if (v > 0xFFFFFFFFull) return false;
  }
  out = static_cast<uint32_t>(v);
  return true;
}

void Put16(uint8_t* p, uint16_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}
void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

}  // namespace

namespace {

const char* UsageText() {
  return "usage: samplegame [options]\n"
         "  --window            play in a framed window instead of full screen\n"
         "  --scale N           window scale factor, 1 to 8 (default 2)\n"
         "  --headless          no window, no devices, virtual clock (tests, tools)\n"
         "  --seed N            seed the random generator with N\n"
         "  --clock-start MS    first reading of the virtual clock (headless)\n"
         "  --frames N          quit after N frame passes\n"
         "  --input FILE        scripted input: 'FRAME KEY down|up' per line\n"
         "  --shot FRAME:FILE   after frame pass FRAME save the screen as a BMP\n"
         "  --dump FILE         at exit write the state as JSON\n"
         "  --audio-out FILE    headless: write the sound output to a WAVE file\n"
         "  --record FILE       record the run's input to replay it exactly\n"
         "  --replay FILE       play a recorded run back (seed and clock from FILE)\n"
         "  --version           print the program's name and version\n"
         "  --help              this text\n";
}

// The game's option called `name` (its length `len`), or -1.
int FindGameOption(const GameDefinition* game, const char* name, size_t len) {
  if (!game || !game->takeOption) return -1;
  for (int i = 0; i < game->optionCount; ++i)
    if (strlen(game->options[i].name) == len && !strncmp(game->options[i].name, name, len))
      return i;
  return -1;
}

}  // namespace

void PrintUsage(FILE* out, const GameDefinition* game) {
  fputs(UsageText(), out);
  if (!game || !game->takeOption) return;
  for (int i = 0; i < game->optionCount; ++i) {
    const GameOption& g = game->options[i];
    char left[64];
    snprintf(left, sizeof left, "--%s%s%s", g.name, g.argument ? " " : "",
             g.argument ? g.argument : "");
    fprintf(out, "  %-19s %s\n", left, g.help ? g.help : "");
  }
}

bool ParseOptions(int argc, char** argv, DriverOptions& o, char* error, size_t errorSize,
                  const GameDefinition* game) {
  auto fail = [&](const char* what, const char* arg) {
    snprintf(error, errorSize, "%s%s%s", what, arg ? ": " : "", arg ? arg : "");
    return false;
  };
  for (int i = 1; i < argc; ++i) {
    const char* a = argv[i];
    auto next = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
    if (!strcmp(a, "--headless")) {
      o.headless = true;
    } else if (!strcmp(a, "--window")) {
      o.window = true;
    } else if (!strcmp(a, "--help") || !strcmp(a, "-h")) {
      o.help = true;
    } else if (!strcmp(a, "--version")) {
      o.version = true;
    } else if (!strcmp(a, "--scale")) {
      uint32_t v;
      const char* t = next();
      if (!ParseUnsigned(t, v) || v < 1 || v > 8) return fail("--scale needs 1 to 8", t);
      o.scale = static_cast<int>(v);
    } else if (!strcmp(a, "--seed")) {
      const char* t = next();
      if (!ParseUnsigned(t, o.seed)) return fail("--seed needs a number 0 to 4294967295", t);
      o.seedGiven = true;
    } else if (!strcmp(a, "--clock-start")) {
      const char* t = next();
      if (!ParseUnsigned(t, o.clockStart))
        return fail("--clock-start needs milliseconds 0 to 4294967295", t);
    } else if (!strcmp(a, "--frames")) {
      const char* t = next();
      if (!ParseUnsigned(t, o.frames) || o.frames == 0)
        return fail("--frames needs a positive number", t);
    } else if (!strcmp(a, "--input")) {
      o.input = next();
      if (!o.input) return fail("--input needs a file", nullptr);
    } else if (!strcmp(a, "--audio-out")) {
      o.audioOut = next();
      if (!o.audioOut) return fail("--audio-out needs a file", nullptr);
    } else if (!strcmp(a, "--record")) {
      o.record = next();
      if (!o.record) return fail("--record needs a file", nullptr);
    } else if (!strcmp(a, "--replay")) {
      o.replay = next();
      if (!o.replay) return fail("--replay needs a file", nullptr);
    } else if (!strcmp(a, "--dump")) {
      o.dump = next();
      if (!o.dump) return fail("--dump needs a file", nullptr);
    } else if (!strcmp(a, "--shot")) {
      const char* t = next();
      const char* colon = t ? strchr(t, ':') : nullptr;
      if (!colon || colon == t || !colon[1]) return fail("--shot needs FRAME:FILE", t);
      char number[16];
      size_t len = static_cast<size_t>(colon - t);
      if (len >= sizeof number) return fail("--shot frame number too long", t);
      memcpy(number, t, len);
      number[len] = '\0';
      if (o.shotCount == DriverOptions::kMaxShots) return fail("too many --shot options", t);
      ShotRequest& s = o.shots[o.shotCount];
      if (!ParseUnsigned(number, s.frame) || s.frame == 0)
        return fail("--shot frame must be a positive number", t);
      if (strlen(colon + 1) >= sizeof s.path) return fail("--shot file name too long", t);
      strcpy(s.path, colon + 1);
      ++o.shotCount;
    } else if (!strncmp(a, "--", 2) && a[2]) {
      // The game's own: --name VALUE, --name=VALUE, or a flag.
      const char* eq = strchr(a + 2, '=');
      const size_t len = eq ? size_t(eq - (a + 2)) : strlen(a + 2);
      const int index = FindGameOption(game, a + 2, len);
      if (index < 0) return fail("unknown option", a);
      const GameOption& g = game->options[index];
      const char* value = nullptr;
      if (g.argument) {
        value = eq ? eq + 1 : next();
        if (!value) return fail("option needs a value", a);
      } else if (eq) {
        return fail("option takes no value", a);
      }
      if (!game->takeOption(index, value, error, errorSize)) return false;
    } else {
      return fail("unknown option", a);
    }
  }
  // A replay's input, seed and clock are those of its recording.
  if (o.replay && o.record) return fail("--replay and --record cannot be combined", nullptr);
  if (o.replay && o.input) return fail("--replay takes its input from the recording, not --input", nullptr);
  if (o.replay && (o.seedGiven || o.clockStart))
    return fail("--replay takes the seed and clock from the recording", nullptr);
  return true;
}

bool WriteScreenshot(const char* path) {
  const oxd::Surface* s = oxd::PresentedSurface();
  if (!s || !s->pixels || s->width <= 0 || s->height <= 0) return false;
  const int w = s->width, h = s->height;
  const uint32_t rowBytes = (uint32_t(w) * 3 + 3) & ~3u;
  const uint32_t dataSize = rowBytes * uint32_t(h);
  FILE* f = fopen(path, "wb");
  if (!f) return false;
  // Only a file of our own is removed after a failed write, never a
  // device such as /dev/full.
  struct stat st;
  const bool regular = fstat(fileno(f), &st) == 0 && S_ISREG(st.st_mode);
  uint8_t header[54] = {'B', 'M'};
  Put32(header + 2, 54 + dataSize);
  Put32(header + 10, 54);
  Put32(header + 14, 40);
  Put32(header + 18, uint32_t(w));
  Put32(header + 22, uint32_t(h));
  Put16(header + 26, 1);
  Put16(header + 28, 24);
  Put32(header + 34, dataSize);
  Put32(header + 38, 2835);
  Put32(header + 42, 2835);
  bool ok = fwrite(header, 1, sizeof header, f) == sizeof header;
  uint8_t row[640 * 3 * 8 + 4];
  const bool fits = rowBytes <= sizeof row;
  for (int y = h - 1; ok && fits && y >= 0; --y) {
    const uint16_t* src = s->pixels + size_t(y) * s->pitch;
    memset(row, 0, rowBytes);
    for (int x = 0; x < w; ++x) {
      uint16_t p = src[x];
      uint8_t r = uint8_t((p >> 11) & 0x1F), g = uint8_t((p >> 5) & 0x3F), b = uint8_t(p & 0x1F);
      // Widen each channel by repeating its top bits, so white stays white.
      row[x * 3 + 0] = uint8_t((b << 3) | (b >> 2));
      row[x * 3 + 1] = uint8_t((g << 2) | (g >> 4));
      row[x * 3 + 2] = uint8_t((r << 3) | (r >> 2));
    }
    ok = fwrite(row, 1, rowBytes, f) == rowBytes;
  }
  ok = fclose(f) == 0 && ok && fits;
  if (!ok && regular) remove(path);
  return ok;
}

}  // namespace ox
