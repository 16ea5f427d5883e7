#include "platform/input_script.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/messages.h"

namespace plat {

namespace {

bool EqualsNoCase(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b) {
    char ca = *a >= 'a' && *a <= 'z' ? char(*a - 32) : *a;
    char cb = *b >= 'a' && *b <= 'z' ? char(*b - 32) : *b;
    if (ca != cb) return false;
  }
  return *a == *b;
}

// Splits a line into at most `max` words; returns how many it found (more
// than `max` words give max + 1).
int SplitWords(char* line, char** words, int max) {
  int n = 0;
  char* p = line;
  while (*p) {
    while (*p == ' ' || *p == '\t' || *p == '\r') ++p;
    if (!*p) break;
    if (n == max) return max + 1;
    words[n++] = p;
    while (*p && *p != ' ' && *p != '\t' && *p != '\r') ++p;
    if (*p) *p++ = '\0';
  }
  return n;
}

}  // namespace

void InputScript::Clear() {
  events_.clear();
  nextKey_ = 0;
  nextAnswer_ = 0;
}

bool InputScript::Parse(const char* text, size_t size, char* error, size_t errorSize) {
  Clear();
  size_t pos = 0;
  int lineNo = 0;
  char line[256];
  while (pos < size) {
    ++lineNo;
    size_t end = pos;
    while (end < size && text[end] != '\n') ++end;
    size_t len = end - pos;
    if (len >= sizeof line) {
      snprintf(error, errorSize, "line %d: line too long", lineNo);
      Clear();
      return false;
    }
    memcpy(line, text + pos, len);
    line[len] = '\0';
    pos = end + 1;
    if (char* hash = strchr(line, '#')) *hash = '\0';
    char* words[3];
    int n = SplitWords(line, words, 3);
    if (n == 0) continue;
    if (n != 3) {
      snprintf(error, errorSize, "line %d: expected 'FRAME KEY down|up' or 'FRAME answer yes|no'",
               lineNo);
      Clear();
      return false;
    }
    errno = 0;
    char* endp = nullptr;
    unsigned long frame = strtoul(words[0], &endp, 10);
    if (*endp || errno || words[0][0] == '-' || frame < 1 || frame > 0xFFFFFFFFul) {
      snprintf(error, errorSize, "line %d: bad frame number '%.40s'", lineNo, words[0]);
      Clear();
      return false;
    }
    ScriptEvent e;
    e.frame = static_cast<uint32_t>(frame);
    if (EqualsNoCase(words[1], "answer")) {
      e.kind = ScriptEvent::Answer;
      if (EqualsNoCase(words[2], "yes")) e.value = 1;
      else if (EqualsNoCase(words[2], "no")) e.value = 0;
      else {
        snprintf(error, errorSize, "line %d: answer must be yes or no", lineNo);
        Clear();
        return false;
      }
    } else {
      e.value = VirtualKeyFromName(words[1]);
      if (e.value == 0) {
        snprintf(error, errorSize, "line %d: unknown key '%.40s'", lineNo, words[1]);
        Clear();
        return false;
      }
      if (EqualsNoCase(words[2], "down")) e.kind = ScriptEvent::KeyDown;
      else if (EqualsNoCase(words[2], "up")) e.kind = ScriptEvent::KeyUp;
      else {
        snprintf(error, errorSize, "line %d: expected down or up", lineNo);
        Clear();
        return false;
      }
    }
    events_.push_back(e);
  }
  // Events are delivered in frame order; lines of one frame keep file order.
  std::stable_sort(events_.begin(), events_.end(),
                   [](const ScriptEvent& a, const ScriptEvent& b) { return a.frame < b.frame; });
  return true;
}

bool InputScript::Load(const char* path, char* error, size_t errorSize) {
  FILE* f = fopen(path, "rb");
  if (!f) {
    snprintf(error, errorSize, "cannot open input script '%s': %s", path, strerror(errno));
    return false;
  }
  std::vector<char> text;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, f)) > 0) {
    text.insert(text.end(), buf, buf + n);
    if (text.size() > (64u << 20)) {
      fclose(f);
      snprintf(error, errorSize, "input script '%s' is larger than 64 MiB", path);
      return false;
    }
  }
  fclose(f);
  return Parse(text.data(), text.size(), error, errorSize);
}

int InputScript::TakeAnswer(uint32_t pass) {
  while (nextAnswer_ < events_.size()) {
    const ScriptEvent& e = events_[nextAnswer_];
    if (e.frame > pass) return -1;
    ++nextAnswer_;
    if (e.kind == ScriptEvent::Answer) return e.value;
  }
  return -1;
}

int VirtualKeyFromName(const char* name) {
  static const struct {
    const char* name;
    int code;
  } kNames[] = {
      {"ENTER", kVkReturn}, {"RETURN", kVkReturn}, {"SPACE", kVkSpace},   {"ESCAPE", kVkEscape},
      {"ESC", kVkEscape},   {"LEFT", kVkLeft},     {"UP", kVkUp},         {"RIGHT", kVkRight},
      {"DOWN", kVkDown},    {"SHIFT", kVkShift},   {"CONTROL", kVkControl}, {"CTRL", kVkControl},
      {"ALT", kVkMenu},     {"TAB", kVkTab},       {"BACKSPACE", kVkBack}, {"PAUSE", kVkPause},
      {"INSERT", kVkInsert}, {"DELETE", kVkDelete}, {"HOME", kVkHome},    {"END", kVkEnd},
      {"PAGEUP", kVkPrior}, {"PAGEDOWN", kVkNext},
  };
  if (!name || !*name) return 0;
  for (const auto& k : kNames)
    if (EqualsNoCase(name, k.name)) return k.code;
  if (!name[1]) {
    char c = name[0];
    if (c >= 'a' && c <= 'z') c = char(c - 32);
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return c;
    return 0;
  }
  if ((name[0] == 'F' || name[0] == 'f') && name[1] >= '1' && name[1] <= '9') {
    char* end = nullptr;
    long n = strtol(name + 1, &end, 10);
    if (*end == '\0' && n >= 1 && n <= 12) return kVkF1 + int(n) - 1;
    return 0;
  }
  bool digits = true;
  for (const char* p = name; *p; ++p) digits = digits && *p >= '0' && *p <= '9';
  if (digits && strlen(name) <= 3) {
    int n = atoi(name);
    if (n >= 1 && n <= 255) return n;
  }
  return 0;
}

}  // namespace plat
