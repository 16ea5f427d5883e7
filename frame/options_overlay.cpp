// The options overlay: a table of rows drawn over the held scene, driven by
// the keyboard (arrows, Enter, Delete, Tab or Escape to close) and the pad
// (d-pad or stick, A, B or Back to close).
#include "frame/options_overlay.h"

#include <cstdio>
#include <cstring>

#include "core/app_state.h"
#include "core/wait_slots.h"
#include "draw/ox_draw.h"
#include "draw/ox_draw_status.h"
#include "frame/ox_options.h"
#include "frame/ox_settings.h"
#include "input/ox_bindings.h"
#include "input/ox_text.h"
#include "platform/gamepad.h"
#include "platform/messages.h"
#include "platform/platform.h"

namespace ox {

namespace {

using B = oxBindings;
using Values = oxSettings::Values;

enum class Kind { Number, Toggle, Game, Bindings, Reset, Close };

// One row of the table; Game stands for the rows the game added, Bindings
// for one row per action of the game.
struct Row {
  const char* label;
  Kind kind;
  int Values::* number;
  bool Values::* flag;
  int min, max, step;
  const char* unit;
};

constexpr Row kRows[] = {
    {"Master volume", Kind::Number, &Values::master, nullptr, 0, 100, 5, "%"},
    {"Music volume", Kind::Number, &Values::music, nullptr, 0, 100, 5, "%"},
    {"Effects volume", Kind::Number, &Values::effects, nullptr, 0, 100, 5, "%"},
    {"Full screen", Kind::Toggle, nullptr, &Values::fullscreen, 0, 0, 0, ""},
    {"Window scale", Kind::Number, &Values::scale, nullptr, 1, 8, 1, "x"},
    {"Fill the screen", Kind::Toggle, nullptr, &Values::fill, 0, 0, 0, ""},
    {"Game speed", Kind::Number, &Values::assistSpeed, nullptr, 50, 100, 10, "%"},
    {"", Kind::Game, nullptr, nullptr, 0, 0, 0, ""},
    {"", Kind::Bindings, nullptr, nullptr, 0, 0, 0, ""},
    {"Reset to defaults", Kind::Reset, nullptr, nullptr, 0, 0, 0, ""},
    {"Close", Kind::Close, nullptr, nullptr, 0, 0, 0, ""},
};
constexpr int kTableRows = sizeof kRows / sizeof kRows[0];
constexpr int kColumns = 4;  // binding rows: key 1, key 2, pad 1, pad 2

enum class Capture { None, Key, Pad };

struct GameRow {
  const char* label;
  oxOptions::GetFn get;
  oxOptions::SetFn set;
  int min, max, step;
  oxOptions::FormatFn format;
};
constexpr int kMaxGameRows = 4;

struct Overlay {
  bool enabled;
  bool open;
  bool started;       // a pass has run with it open
  bool closePending;  // closed since the last pass
  bool dimmed;
  int passes;  // passes run with it open
  int row;
  int column;
  Capture capture;
  uint32_t openClock;     // clock of the first pass held
  float heldFrameSeconds; // the frame time that pass measured
  char note[80];
  GameRow gameRows[kMaxGameRows];
  int gameRowCount;
};

constinit Overlay g{};

// Where a visible row comes from: its table row and, for bindings and the
// game's rows, the action or game row.
struct Line {
  const Row* row;
  int action;
};

int LinesOf(const Row& r) {
  return r.kind == Kind::Bindings ? B::ActionCount() : r.kind == Kind::Game ? g.gameRowCount : 1;
}

int LineCount() {
  int n = 0;
  for (const Row& r : kRows) n += LinesOf(r);
  return n;
}

Line LineAt(int index) {
  for (const Row& r : kRows) {
    const int n = LinesOf(r);
    if (index < n) return Line{&r, n == 1 && r.kind != Kind::Game ? -1 : index};
    index -= n;
  }
  return Line{&kRows[kTableRows - 1], -1};
}

void Close() {
  g.open = false;
  g.capture = Capture::None;
  g.closePending = g.started;
  g.started = false;
}

void Note(const char* text) { snprintf(g.note, sizeof g.note, "%s", text); }

void Change(const Line& line, int direction) {
  Values& v = oxSettings::Current();
  const Row& r = *line.row;
  if (r.kind == Kind::Number) {
    int& n = v.*(r.number);
    int next = n + direction * r.step;
    next = next < r.min ? r.min : next > r.max ? r.max : next;
    if (next == n) return;
    n = next;
  } else if (r.kind == Kind::Toggle) {
    bool& f = v.*(r.flag);
    f = !f;
  } else if (r.kind == Kind::Game) {
    const GameRow& row = g.gameRows[line.action];
    const int now = row.get();
    int next = now + direction * row.step;
    next = next < row.min ? row.min : next > row.max ? row.max : next;
    if (next != now) row.set(next);
    return;
  } else {
    return;
  }
  oxSettings::Changed();
}

void Activate(const Line& line) {
  switch (line.row->kind) {
    case Kind::Toggle: Change(line, 1); break;
    case Kind::Bindings: {
      char text[80];
      const bool key = g.column < 2;
      g.capture = key ? Capture::Key : Capture::Pad;
      snprintf(text, sizeof text, key ? "%s: press a key (Escape cancels)"
                                      : "%s: press a button (any key cancels)",
               B::ActionAt(line.action).name);
      Note(text);
      break;
    }
    case Kind::Reset:
      oxSettings::ResetToDefaults();
      Note("every option back to its default");
      break;
    case Kind::Close: Close(); break;
    case Kind::Number:
    case Kind::Game: break;
  }
}

void Clear(const Line& line) {
  if (line.row->kind != Kind::Bindings) return;
  const bool ok = g.column < 2 ? B::BindKey(line.action, g.column, 0, nullptr, 0)
                               : B::BindPad(line.action, g.column - 2, B::kNoPad, nullptr, 0);
  if (ok) {
    Note("unbound");
    oxSettings::Changed();
  }
}

// Binds the slot under the cursor; a refusal says why.
void Bind(int code) {
  const Line line = LineAt(g.row);
  char why[64] = "";
  const bool key = g.capture == Capture::Key;
  g.capture = Capture::None;
  const bool ok = key ? B::BindKey(line.action, g.column, code, why, sizeof why)
                      : B::BindPad(line.action, g.column - 2, code, why, sizeof why);
  char text[80], name[16];
  const char* shown = key ? B::KeyName(code, name, sizeof name) : B::PadName(code);
  if (ok) {
    snprintf(text, sizeof text, "%s bound to %s", shown, B::ActionAt(line.action).name);
    oxSettings::Changed();
  } else {
    snprintf(text, sizeof text, "refused: %s is %s", shown, why);
  }
  Note(text);
}

void Move(int rows, int columns) {
  const int n = LineCount();
  g.row = (g.row + rows + n) % n;
  g.column = (g.column + columns + kColumns) % kColumns;
}

// Navigation shared by keys and pad: 0 up, 1 down, 2 left, 3 right,
// 4 activate, 5 clear, 6 close.
void Command(int c) {
  const Line line = LineAt(g.row);
  const bool bindings = line.row->kind == Kind::Bindings;
  g.note[0] = '\0';
  switch (c) {
    case 0: Move(-1, 0); break;
    case 1: Move(1, 0); break;
    case 2: bindings ? Move(0, -1) : Change(line, -1); break;
    case 3: bindings ? Move(0, 1) : Change(line, 1); break;
    case 4: Activate(line); break;
    case 5: Clear(line); break;
    case 6: Close(); break;
  }
}

int KeyCommand(int vk, int bound) {
  if (vk == plat::kVkEscape || bound == plat::kVkTab) return 6;
  switch (vk) {
    case plat::kVkUp: return 0;
    case plat::kVkDown: return 1;
    case plat::kVkLeft: return 2;
    case plat::kVkRight: return 3;
    case plat::kVkReturn:
    case plat::kVkSpace: return 4;
    case plat::kVkDelete:
    case plat::kVkBack: return 5;
    default: return -1;
  }
}

int PadCommand(int input) {
  using namespace plat::gamepad;
  switch (input) {
    case kDpUp: case B::kStickUp: return 0;
    case kDpDown: case B::kStickDown: return 1;
    case kDpLeft: case B::kStickLeft: return 2;
    case kDpRight: case B::kStickRight: return 3;
    case kA: return 4;
    case kX: return 5;
    case kB: case kBack: case kStart: return 6;
    default: return -1;
  }
}

// ------------------------------------------------------------ drawing

constexpr int32_t Pixel(int r, int g, int b) { return ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3); }
constexpr int32_t Ref(int r, int g, int b) { return r | g << 8 | b << 16; }

constexpr int kLeft = 70, kTop = 22, kRight = 570, kBottom = 458;
constexpr int kRowTop = 66, kRowHeight = 17;
constexpr int kCellX[kColumns] = {250, 335, 425, 505};

void Text(int x, int y, int32_t colour, const char* text) {
  oxText::SetColour(colour, 0, 1);
  oxText::Out(x, y, text);
}

void DrawLine(int index, int y) {
  const Line line = LineAt(index);
  const Row& r = *line.row;
  const bool here = index == g.row;
  const int32_t label = here ? Ref(255, 214, 90) : Ref(220, 228, 245);
  const int32_t value = here ? Ref(255, 255, 255) : Ref(150, 200, 255);
  const Values& v = oxSettings::Current();
  char text[48];
  switch (r.kind) {
    case Kind::Number:
      Text(kLeft + 24, y, label, r.label);
      snprintf(text, sizeof text, "< %d%s >", v.*(r.number), r.unit);
      Text(kCellX[0], y, value, text);
      break;
    case Kind::Toggle:
      Text(kLeft + 24, y, label, r.label);
      Text(kCellX[0], y, value, v.*(r.flag) ? "< on >" : "< off >");
      break;
    case Kind::Game: {
      const GameRow& row = g.gameRows[line.action];
      char shown[32];
      const int n = row.get();
      if (row.format) {
        row.format(n, shown, sizeof shown);
      } else {
        snprintf(shown, sizeof shown, "%d", n);
      }
      Text(kLeft + 24, y, label, row.label);
      snprintf(text, sizeof text, "< %s >", shown);
      Text(kCellX[0], y, value, text);
      break;
    }
    case Kind::Bindings: {
      Text(kLeft + 24, y, label, B::ActionAt(line.action).name);
      for (int c = 0; c < kColumns; ++c) {
        char name[16];
        const int code = c < 2 ? B::Key(line.action, c) : B::Pad(line.action, c - 2);
        const char* shown = c < 2 ? (code ? B::KeyName(code, name, sizeof name) : "-")
                                  : (code != B::kNoPad ? B::PadName(code) : "-");
        const bool cell = here && c == g.column;
        if (cell && g.capture != Capture::None) shown = "...";
        snprintf(text, sizeof text, cell ? "[%s]" : " %s", shown);
        Text(kCellX[c], y, cell ? Ref(255, 214, 90) : value, text);
      }
      break;
    }
    case Kind::Reset:
    case Kind::Close: Text(kLeft + 24, y, label, r.label); break;
  }
}

void Draw() {
  if (!g.dimmed) {
    // The held picture darkened once; the panel is drawn whole each pass.
    oxDraw::BlendRect(0, 0, 640, 480, Pixel(0, 8, 40));
    g.dimmed = true;
  }
  constexpr int32_t kGold = Pixel(232, 184, 72);
  oxDraw::FillRect(kLeft - 3, kTop - 3, kRight + 3, kBottom + 3, kGold);
  oxDraw::FillRect(kLeft, kTop, kRight, kBottom, Pixel(10, 22, 58));
  const int lines = LineCount();
  const int y = kRowTop + kRowHeight * g.row;
  oxDraw::FillRect(kLeft + 8, y - 2, kRight - 8, y + kRowHeight - 2, Pixel(36, 58, 120));
  oxDraw::FillRect(kLeft + 8, y - 2, kLeft + 12, y + kRowHeight - 2, kGold);

  oxText::SelectFont(oxText::kGothic, 22, 0, 1, 0, 0);
  Text(kLeft + 24, kTop + 10, Ref(255, 214, 90), "OPTIONS");
  oxText::EndText();
  oxText::SelectFont(oxText::kGothic, 13, 0, 0, 0, 0);
  if (B::ActionCount() > 0) {
    Text(kCellX[0], kTop + 22, Ref(150, 160, 190), "keys");
    Text(kCellX[2], kTop + 22, Ref(150, 160, 190), "pad");
  }
  oxText::EndText();
  oxText::SelectFont(oxText::kGothic, 15, 0, 1, 0, 0);
  for (int i = 0; i < lines; ++i) DrawLine(i, kRowTop + kRowHeight * i);
  oxText::EndText();
  oxText::SelectFont(oxText::kGothic, 13, 0, 0, 0, 0);
  if (g.note[0]) Text(kLeft + 24, kBottom - 38, Ref(255, 140, 110), g.note);
  Text(kLeft + 24, kBottom - 20, Ref(170, 180, 205),
       "Arrows / d-pad: choose   Enter / A: set   Delete / X: unbind   Tab / B: close");
  oxText::EndText();
  oxDraw::Present();
}

}  // namespace

bool OptionsTakeKey(int vk, int bound) {
  if (!g.enabled) return false;
  if (g.capture == Capture::Key) {
    if (vk == plat::kVkEscape) {
      g.capture = Capture::None;
      Note("");
    } else {
      Bind(vk);
    }
    return true;
  }
  if (g.capture == Capture::Pad) {
    g.capture = Capture::None;
    Note("");
    return true;
  }
  if (!g.open) {
    // A screen transition or the picture overlay runs on each Present; the
    // options wait until they are over, so that nothing moves under them.
    if (bound != plat::kVkTab || oxd::TransitionRunning() || oxd::OverlayShown()) return false;
    oxOptions::Toggle();
    return true;
  }
  const int c = KeyCommand(vk, bound);
  if (c >= 0) Command(c);
  return true;
}

void OptionsAfterFrameTime() {
  AppState& app = App();
  if (g.open && !g.started) {
    g.started = true;
    g.openClock = plat::Clock();
    g.heldFrameSeconds = app.frameSeconds;
  } else if (g.closePending) {
    g.closePending = false;
    // Every deadline moves on by the time held, and this pass measures the
    // frame time the first held pass did.
    const uint32_t held = plat::Clock() - g.openClock;
    for (int slot = 1; slot <= kBlockingWait; ++slot) {
      const uint32_t d = WaitDeadline(slot);
      if (d != kWaitUnarmed) SetWaitDeadline(slot, d + held);
    }
    app.blinkDeadline += held;
    app.frameSeconds = g.heldFrameSeconds;
  }
}

void OptionsPadInput() {
  // The pad press that opened the overlay is not taken as a command.
  if (!g.open || g.passes == 0) return;
  const int input = B::PadInputPressed();
  if (input != B::kNoPad && g.capture == Capture::Pad) {
    Bind(input);
  } else if (input != B::kNoPad && PadCommand(input) >= 0) {
    Command(PadCommand(input));
  }
}

bool OptionsPass() {
  if (!g.open) return false;
  ++g.passes;
  Draw();
  return true;
}

}  // namespace ox

void oxOptions::Enable(bool on) {
  ox::g.enabled = on;
  if (!on && ox::g.open) ox::Close();
}

bool oxOptions::Open() { return ox::g.open; }

bool oxOptions::AddGameRow(const char* label, GetFn get, SetFn set, int min, int max, int step,
                           FormatFn format) {
  ox::Overlay& o = ox::g;
  if (!label || !get || !set || min > max || step <= 0 || o.gameRowCount == ox::kMaxGameRows)
    return false;
  o.gameRows[o.gameRowCount++] = ox::GameRow{label, get, set, min, max, step, format};
  return true;
}

void oxOptions::Toggle() {
  if (!ox::g.enabled) return;
  if (ox::g.open) {
    ox::Close();
    return;
  }
  ox::g.open = true;
  ox::g.dimmed = false;
  ox::g.passes = 0;
  ox::g.row = 0;
  ox::g.column = 0;
  ox::g.capture = ox::Capture::None;
  ox::g.note[0] = '\0';
}
