#include "frame/settings_file.h"

#include <fcntl.h>
#include <ini.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <strings.h>

#include "core/text_copy.h"
#include "frame/atomic_file.h"
#include "frame/settings_sections.h"
#include "platform/audio.h"
#include "platform/platform.h"

namespace ox {

namespace {

char g_path[PATH_MAX];

// What the line reader and the key handler share while one text is read.
struct Reading {
  const char* data;
  size_t size;
  size_t pos;
  int line;
  const char* label;
  int reports;
};

void Report(Reading& r, const char* format, const char* a = "", const char* b = "",
            const char* c = "") {
  ++r.reports;
  if (r.reports > kMaxSettingsReports) return;
  fprintf(stderr, "samplegame: %s:%d: ", r.label, r.line);
  fprintf(stderr, format, a, b, c);
  fputc('\n', stderr);
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// Hands inih one line at a time. Lines that are not text, are too long, or
// are neither a comment, a [section] nor a key = value pair are reported
// here (inih would report only the first) and handed on as blank lines.
char* ReadLine(char* out, int capacity, void* stream) {
  Reading& r = *static_cast<Reading*>(stream);
  if (r.pos >= r.size) return nullptr;
  const char* p = r.data + r.pos;
  const char* newline = static_cast<const char*>(memchr(p, '\n', r.size - r.pos));
  const size_t length = newline ? size_t(newline - p) : r.size - r.pos;
  r.pos += length + (newline ? 1 : 0);
  ++r.line;
  out[0] = '\0';
  for (size_t i = 0; i < length; ++i) {
    const unsigned char c = static_cast<unsigned char>(p[i]);
    if ((c < 0x20 && c != '\t' && c != '\r') || c == 0x7F) {
      Report(r, "not text, ignored");
      return out;
    }
  }
  if (capacity < 2 || length > size_t(capacity) - 2) {
    char limit[16];
    snprintf(limit, sizeof limit, "%d", capacity - 2);
    Report(r, "longer than %s characters, ignored", limit);
    return out;
  }
  size_t start = 0;
  // inih skips a UTF-8 byte order mark at the start of the file.
  if (r.line == 1 && length >= 3 && !memcmp(p, "\xEF\xBB\xBF", 3)) start = 3;
  while (start < length && IsBlank(p[start])) ++start;
  const char first = start < length ? p[start] : '\0';
  const bool comment = first == '\0' || first == ';' || first == '#';
  const bool section = first == '[' && memchr(p + start, ']', length - start);
  const bool pair = first != '[' && (memchr(p, '=', length) || memchr(p, ':', length));
  if (!comment && !section && !pair) {
    Report(r, "neither a [section] nor a key = value line, ignored");
    return out;
  }
  memcpy(out, p, length);
  out[length] = '\0';
  return out;
}

// Decimal digits only, within [low, high].
bool ParseInt(const char* text, int low, int high, int& out) {
  if (!*text) return false;
  long v = 0;
  for (const char* p = text; *p; ++p) {
    if (*p < '0' || *p > '9') return false;
    v = v * 10 + (*p - '0');
    if (v > high) return false;
  }
  if (v < low) return false;
  out = int(v);
  return true;
}

bool ParseBool(const char* text, bool& out) {
  static const char* const kTrue[] = {"true", "yes", "on", "1"};
  static const char* const kFalse[] = {"false", "no", "off", "0"};
  for (const char* t : kTrue) {
    if (strcasecmp(text, t) == 0) {
      out = true;
      return true;
    }
  }
  for (const char* t : kFalse) {
    if (strcasecmp(text, t) == 0) {
      out = false;
      return true;
    }
  }
  return false;
}

// The window sizes a settings file may name (0: from the scale).
constexpr int kMinWindowSide = 64, kMaxWindowSide = 16384;

bool ParseSide(const char* text, int& out) {
  int v;
  if (!ParseInt(text, 0, kMaxWindowSide, v) || (v != 0 && v < kMinWindowSide)) return false;
  out = v;
  return true;
}

// The frame's own keys: answers false for an unknown key (`known` false)
// or a bad value (`known` true, `range` says what fits).
bool ReadFrameKey(const char* section, const char* key, const char* value, bool& known,
                  const char*& range) {
  oxSettings::Values& v = oxSettings::Current();
  known = true;
  if (!strcmp(section, "audio")) {
    range = "0 to 100";
    if (!strcmp(key, "master")) return ParseInt(value, 0, 100, v.master);
    if (!strcmp(key, "music")) return ParseInt(value, 0, 100, v.music);
    if (!strcmp(key, "effects")) return ParseInt(value, 0, 100, v.effects);
  } else if (!strcmp(section, "display")) {
    range = "true or false";
    if (!strcmp(key, "fullscreen")) return ParseBool(value, v.fullscreen);
    if (!strcmp(key, "fill")) return ParseBool(value, v.fill);
    range = "1 to 8";
    if (!strcmp(key, "scale")) return ParseInt(value, 1, 8, v.scale);
    range = "0, or 64 to 16384";
    if (!strcmp(key, "width")) return ParseSide(value, v.windowWidth);
    if (!strcmp(key, "height")) return ParseSide(value, v.windowHeight);
  } else if (!strcmp(section, "assist")) {
    range = "50 to 100";
    if (!strcmp(key, "speed")) return ParseInt(value, 50, 100, v.assistSpeed);
  }
  known = false;
  return false;
}

bool IsFrameSection(const char* section) {
  return !strcmp(section, "audio") || !strcmp(section, "display") || !strcmp(section, "assist");
}

int HandleKey(void* user, const char* section, const char* key, const char* value) {
  Reading& r = *static_cast<Reading*>(user);
  if (!*key) {
    Report(r, "a value without a key, ignored");
    return 1;
  }
  if (!*section) {
    Report(r, "key '%.40s' outside a [section], ignored", key);
    return 1;
  }
  if (IsFrameSection(section)) {
    bool known = false;
    const char* range = "";
    if (ReadFrameKey(section, key, value, known, range)) return 1;
    if (known)
      Report(r, "bad value '%.40s' for %s (%s), ignored", value, key, range);
    else
      Report(r, "unknown key '%.40s' in [%s], ignored", key, section);
    return 1;
  }
  int count = 0;
  const SettingsSection* sections = SettingsSections(&count);
  for (int i = 0; i < count; ++i) {
    if (strcmp(sections[i].name, section)) continue;
    if (!sections[i].read(key, value))
      Report(r, "unknown key '%.40s' or bad value '%.40s' in [%s], ignored", key, value, section);
    return 1;
  }
  Report(r, "key '%.40s' of an unknown section [%.40s], ignored", key, section);
  return 1;
}

// Appends text to a bounded buffer; remembers an overflow.
struct Writer {
  char* out;
  size_t size;
  size_t used;
  bool full;
  void Add(const char* format, const char* a = "", const char* b = "") {
    if (full) return;
    const int n = snprintf(out + used, size - used, format, a, b);
    if (n < 0 || size_t(n) >= size - used) {
      full = true;
      return;
    }
    used += size_t(n);
  }
};

// A key the reader gives back unchanged: letters, digits, '_', '-', '.'.
bool GoodKey(const char* key) {
  if (!key || !*key) return false;
  for (const char* p = key; *p; ++p) {
    const char c = *p;
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
          c == '_' || c == '-' || c == '.'))
      return false;
  }
  return true;
}

// A value the reader gives back unchanged: printable, no comment mark, no
// blank at either end, short enough for one line.
bool GoodValue(const char* value) {
  if (!value) return false;
  const size_t n = strlen(value);
  if (n > 120 || (n > 0 && (IsBlank(value[0]) || IsBlank(value[n - 1])))) return false;
  for (const char* p = value; *p; ++p) {
    const unsigned char c = static_cast<unsigned char>(*p);
    if (c < 0x20 || c == 0x7F || c == ';' || c == '#') return false;
  }
  return true;
}

struct SectionWrite {
  Writer* writer;
  const char* section;
};

void PutKey(void* context, const char* key, const char* value) {
  SectionWrite& w = *static_cast<SectionWrite*>(context);
  if (!GoodKey(key) || !GoodValue(value)) {
    fprintf(stderr, "samplegame: the settings key '%.40s' of [%s] cannot be saved, left out\n",
            key ? key : "", w.section);
    return;
  }
  w.writer->Add("%s = %s\n", key, value);
}

// Makes the folders of `path` that are missing (mode 0700, as a folder of
// the player's own).
void MakeParents(const char* path) {
  char dir[PATH_MAX];
  CopyText(dir, sizeof dir, path);
  for (char* p = dir + 1; *p; ++p) {
    if (*p != '/') continue;
    *p = '\0';
    mkdir(dir, 0700);
    *p = '/';
  }
}

char g_text[kMaxSettingsFileSize + 1];

}  // namespace

bool DefaultSettingsPath(char* out, size_t size) {
  char dir[PATH_MAX];
  if (!plat::ConfigDirectory(dir, sizeof dir)) return false;
  const int n = snprintf(out, size, "%s/samplegame/settings.ini", dir);
  if (n < 0 || size_t(n) >= size) {
    if (size) out[0] = '\0';
    return false;
  }
  return true;
}

void SetSettingsFile(const char* path) { CopyText(g_path, sizeof g_path, path ? path : ""); }

const char* SettingsFile() { return g_path; }

void StartPlayerSettings(const char* config, bool headless) {
  char path[PATH_MAX] = "";
  if (config)
    CopyText(path, sizeof path, config);
  else if (!headless && !DefaultSettingsPath(path, sizeof path))
    path[0] = '\0';
  SetSettingsFile(path);
  LoadSettingsFile(path);
  const oxSettings::Values& v = oxSettings::Current();
  plat::audio::SetPlayerVolumes(v.master, v.music, v.effects);
}

int ReadSettingsText(const char* data, size_t size, const char* label) {
  Reading r{data, size, 0, 0, label ? label : "settings", 0};
  ini_parse_stream(ReadLine, &r, HandleKey, &r);
  if (r.reports > kMaxSettingsReports)
    fprintf(stderr, "samplegame: %s: %d more problems not listed\n", r.label,
            r.reports - kMaxSettingsReports);
  return r.reports;
}

int LoadSettingsFile(const char* path) {
  oxSettings::Current() = oxSettings::Values{};
  int count = 0;
  const SettingsSection* sections = SettingsSections(&count);
  for (int i = 0; i < count; ++i)
    if (sections[i].reset) sections[i].reset();
  if (!path || !*path) return 0;
  // Not blocking on a pipe, not reading a device.
  const int fd = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) {
    if (errno == ENOENT) return 0;
    fprintf(stderr, "samplegame: cannot read the settings %s: %s; defaults are used\n", path,
            strerror(errno));
    return 1;
  }
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    fprintf(stderr, "samplegame: the settings %s are not a regular file; defaults are used\n",
            path);
    close(fd);
    return 1;
  }
  size_t size = 0;
  int problems = 0;
  while (size < sizeof g_text) {
    const ssize_t n = read(fd, g_text + size, sizeof g_text - size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      fprintf(stderr, "samplegame: cannot read the settings %s: %s; what was read is used\n",
              path, strerror(errno));
      ++problems;
      break;
    }
    if (n == 0) break;
    size += size_t(n);
  }
  close(fd);
  if (size > kMaxSettingsFileSize) {
    fprintf(stderr, "samplegame: the settings %s are longer than %zu bytes; the rest is ignored\n",
            path, kMaxSettingsFileSize);
    ++problems;
    // Up to the last whole line.
    size = kMaxSettingsFileSize;
    while (size > 0 && g_text[size - 1] != '\n') --size;
  }
  return problems + ReadSettingsText(g_text, size, path);
}

size_t FormatSettings(char* out, size_t size) {
  if (!out || size == 0) return 0;
  const oxSettings::Values& v = oxSettings::Current();
  Writer w{out, size, 0, false};
  char a[16], b[16], c[16];
  w.Add("# Sample Game settings, rewritten by the game whenever they change.\n");
  snprintf(a, sizeof a, "%d", v.master);
  snprintf(b, sizeof b, "%d", v.music);
  w.Add("\n[audio]\nmaster = %s\nmusic = %s\n", a, b);
  snprintf(c, sizeof c, "%d", v.effects);
  w.Add("effects = %s\n", c);
  w.Add("\n[display]\nfullscreen = %s\nfill = %s\n", v.fullscreen ? "true" : "false",
        v.fill ? "true" : "false");
  snprintf(a, sizeof a, "%d", v.scale);
  w.Add("scale = %s\n", a);
  snprintf(a, sizeof a, "%d", v.windowWidth);
  snprintf(b, sizeof b, "%d", v.windowHeight);
  w.Add("width = %s\nheight = %s\n", a, b);
  snprintf(a, sizeof a, "%d", v.assistSpeed);
  w.Add("\n[assist]\nspeed = %s\n", a);
  int count = 0;
  const SettingsSection* sections = SettingsSections(&count);
  for (int i = 0; i < count; ++i) {
    w.Add("\n[%s]\n", sections[i].name);
    SectionWrite context{&w, sections[i].name};
    sections[i].write(PutKey, &context);
  }
  if (w.full) {
    out[0] = '\0';
    return 0;
  }
  return w.used;
}

bool SaveSettingsFile(const char* path) {
  if (!path || !*path) return false;
  static char text[kMaxSettingsFileSize];
  const size_t n = FormatSettings(text, sizeof text);
  if (n == 0) {
    fprintf(stderr, "samplegame: the settings do not fit into %zu bytes; %s is left as it was\n",
            sizeof text, path);
    return false;
  }
  MakeParents(path);
  if (!WriteFileAtomically(path, text, n)) {
    fprintf(stderr, "samplegame: cannot save the settings to %s: %s\n", path, strerror(errno));
    return false;
  }
  return true;
}

}  // namespace ox
