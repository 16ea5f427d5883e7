#include "frame/driver.h"

#include <getopt.h>
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
         "  --config FILE       read the player's settings from FILE and save them there\n"
         "  --version           print the program's name and version\n"
         "  --help              this text\n"
         "Every option that takes a value also takes it as --name=VALUE.\n";
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

namespace {

// getopt_long's codes of the frame's options; the game's follow kGameCode.
enum : int {
  kWindow = 256, kScale, kHeadless, kSeed, kClockStart, kFrames, kInput, kShot, kDump, kAudioOut,
  kRecord, kReplay, kConfig, kVersion, kHelp, kGameCode = 512
};

constexpr option kFrameOptions[] = {
    {"window", no_argument, nullptr, kWindow},
    {"scale", required_argument, nullptr, kScale},
    {"headless", no_argument, nullptr, kHeadless},
    {"seed", required_argument, nullptr, kSeed},
    {"clock-start", required_argument, nullptr, kClockStart},
    {"frames", required_argument, nullptr, kFrames},
    {"input", required_argument, nullptr, kInput},
    {"shot", required_argument, nullptr, kShot},
    {"dump", required_argument, nullptr, kDump},
    {"audio-out", required_argument, nullptr, kAudioOut},
    {"record", required_argument, nullptr, kRecord},
    {"replay", required_argument, nullptr, kReplay},
    {"config", required_argument, nullptr, kConfig},
    {"version", no_argument, nullptr, kVersion},
    {"help", no_argument, nullptr, kHelp},
};
constexpr int kFrameOptionCount = int(sizeof kFrameOptions / sizeof kFrameOptions[0]);
constexpr int kMaxGameOptions = 32;

// Does the command-line word `word` name the option `name` in full?
// (getopt_long also takes unique abbreviations, which would change meaning
// whenever an option is added.)
bool NamesInFull(const char* word, const char* name) {
  if (!word || strncmp(word, "--", 2) != 0) return false;
  const char* w = word + 2;
  const size_t len = strlen(name);
  return strncmp(w, name, len) == 0 && (w[len] == '\0' || w[len] == '=');
}

}  // namespace

bool ParseOptions(int argc, char** argv, DriverOptions& o, char* error, size_t errorSize,
                  const GameDefinition* game) {
  auto fail = [&](const char* what, const char* arg) {
    snprintf(error, errorSize, "%s%s%s", what, arg ? ": " : "", arg ? arg : "");
    return false;
  };
  option table[kFrameOptionCount + kMaxGameOptions + 1] = {};
  int count = 0;
  for (const option& f : kFrameOptions) table[count++] = f;
  const int gameOptions = game && game->takeOption ? game->optionCount : 0;
  if (gameOptions > kMaxGameOptions) return fail("the game has too many options", nullptr);
  for (int i = 0; i < gameOptions; ++i) {
    const GameOption& g = game->options[i];
    table[count++] = option{g.name, g.argument ? required_argument : no_argument, nullptr,
                            kGameCode + i};
  }
  table[count] = option{};

  // From the start each time (tests parse many command lines), without
  // getopt's own messages, stopping at the first word that is no option.
  optind = 0;
  opterr = 0;
  int parsed = 1;  // argv index after the last option taken
  for (;;) {
    const int at = optind == 0 ? 1 : optind;
    int index = -1;
    const int c = getopt_long(argc, argv, "+:h", table, &index);
    if (c == -1) break;
    const char* word = at < argc ? argv[at] : nullptr;
    if (c == '?') {
      // optopt is an option's code when it was given a value it does not take.
      if (optopt >= kWindow) return fail("option takes no value", word);
      return fail("unknown option", word);
    }
    if (index >= 0 && !NamesInFull(word, table[index].name)) return fail("unknown option", word);
    const char* t = c == ':' ? nullptr : optarg;
    const int code = c == ':' ? optopt : c;
    parsed = optind;
    switch (code) {
      case kHeadless: o.headless = true; break;
      case kWindow: o.window = true; break;
      case 'h':
      case kHelp: o.help = true; break;
      case kVersion: o.version = true; break;
      case kScale: {
        uint32_t v;
        if (!ParseUnsigned(t, v) || v < 1 || v > 8) return fail("--scale needs 1 to 8", t);
        o.scale = static_cast<int>(v);
        o.scaleGiven = true;
        break;
      }
      case kSeed:
        if (!ParseUnsigned(t, o.seed)) return fail("--seed needs a number 0 to 4294967295", t);
        o.seedGiven = true;
        break;
      case kClockStart:
        if (!ParseUnsigned(t, o.clockStart))
          return fail("--clock-start needs milliseconds 0 to 4294967295", t);
        break;
      case kFrames:
        if (!ParseUnsigned(t, o.frames) || o.frames == 0)
          return fail("--frames needs a positive number", t);
        break;
      case kInput:
        if (!(o.input = t)) return fail("--input needs a file", nullptr);
        break;
      case kAudioOut:
        if (!(o.audioOut = t)) return fail("--audio-out needs a file", nullptr);
        break;
      case kRecord:
        if (!(o.record = t)) return fail("--record needs a file", nullptr);
        break;
      case kReplay:
        if (!(o.replay = t)) return fail("--replay needs a file", nullptr);
        break;
      case kDump:
        if (!(o.dump = t)) return fail("--dump needs a file", nullptr);
        break;
      case kConfig:
        if (!t || !*t) return fail("--config needs a file", t);
        o.config = t;
        break;
      case kShot: {
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
        break;
      }
      default: {
        // The game's own: --name VALUE, --name=VALUE, or a flag.
        const int i = code - kGameCode;
        if (i < 0 || i >= gameOptions) return fail("unknown option", word);
        if (game->options[i].argument && !t) return fail("option needs a value", word);
        if (!game->takeOption(i, t, error, errorSize)) return false;
        break;
      }
    }
  }
  // A word that is no option, or "--" (which getopt takes as the end of the
  // options).
  if (optind < argc) return fail("unknown option", argv[optind]);
  if (optind > parsed) return fail("unknown option", argv[optind - 1]);
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
