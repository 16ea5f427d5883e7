// The drivers behind each kind of device: their choice at platform start,
// and the dummy font and vector drivers, which must behave sensibly.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "draw/draw_state.h"
#include "draw/ox_draw.h"
#include "draw/ox_surface.h"
#include "platform/audio.h"
#include "platform/audio_driver.h"
#include "platform/drivers.h"
#include "platform/font_driver.h"
#include "platform/font_rasterizer.h"
#include "platform/joystick.h"
#include "platform/joystick_driver.h"
#include "platform/platform.h"
#include "platform/vector.h"
#include "tests/test_support.h"

namespace {

// Sets or clears an environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (value) setenv(name, value, 1);
    else unsetenv(name);
  }
  ~ScopedEnv() { unsetenv(name_); }

 private:
  const char* name_;
};

bool StartWith(const char* fontDriver, const char* vectorDriver, std::string* error = nullptr,
               const char* audioOut = nullptr) {
  ScopedEnv font("SAMPLEGAME_FONT_DRIVER", fontDriver);
  ScopedEnv vec("SAMPLEGAME_VECTOR_DRIVER", vectorDriver);
  plat::Options options;
  options.headless = true;
  options.audioOut = audioOut;
  char text[256] = "";
  const bool ok = plat::Init(options, text, sizeof text);
  if (error) *error = text;
  return ok;
}

TEST(Drivers, ChosenOnceAtStartFromTheOptionsAndTheEnvironment) {
  struct Case {
    const char* font;
    const char* vector;
    bool ok;
    const char* fontName;
    const char* vectorName;
    const char* errorNames;  // the variable a refusal names
  } cases[] = {
      {nullptr, nullptr, true, "freetype", "cairo", nullptr},
      {"", "", true, "freetype", "cairo", nullptr},
      {"dummy", nullptr, true, "dummy", "cairo", nullptr},
      {nullptr, "dummy", true, "freetype", "dummy", nullptr},
      {"freetype", "cairo", true, "freetype", "cairo", nullptr},
      {"pango", nullptr, false, nullptr, nullptr, "SAMPLEGAME_FONT_DRIVER"},
      {nullptr, "skia", false, nullptr, nullptr, "SAMPLEGAME_VECTOR_DRIVER"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.font ? c.font : "(unset)") + " / " + (c.vector ? c.vector : "(unset)"));
    std::string error;
    ASSERT_EQ(StartWith(c.font, c.vector, &error), c.ok) << error;
    if (c.ok) {
      EXPECT_STREQ(plat::fonts::CurrentDriver().Name(), c.fontName);
      EXPECT_STREQ(plat::vector::Current().Name(), c.vectorName);
      // --headless: no devices of the system.
      EXPECT_STREQ(plat::audio::CurrentDriver().Name(), "dummy");
      EXPECT_STREQ(plat::joystick::CurrentDriver().Name(), "dummy");
    } else {
      EXPECT_NE(error.find(c.errorNames), std::string::npos) << error;
    }
    plat::Shutdown();
  }
}

TEST(Drivers, DummyAudioIsHeardOnlyWhenItWritesAFile) {
  ASSERT_TRUE(StartWith(nullptr, nullptr));
  EXPECT_FALSE(plat::audio::Heard());
  plat::Shutdown();
  const std::string out = oxtest::DataDir() + "heard.wav";
  ASSERT_TRUE(StartWith(nullptr, nullptr, nullptr, out.c_str()));
  EXPECT_TRUE(plat::audio::Heard());
  plat::Shutdown();
}

TEST(Drivers, DummyJoystickHasNoPadButScriptedPadsStillRead) {
  ASSERT_TRUE(StartWith(nullptr, nullptr));
  plat::joystick::Position p;
  EXPECT_FALSE(plat::joystick::ReadPad(0, plat::joystick::kAxes, p));
  plat::headless::SetJoystick(1, true, 100, 200, 5);
  ASSERT_TRUE(plat::joystick::ReadPad(1, plat::joystick::kAxes | plat::joystick::kButtons, p));
  EXPECT_EQ(p.x, 100u);
  EXPECT_EQ(p.buttons, 5u);
  plat::Shutdown();
}

TEST(Drivers, DummyFontHasBoxGlyphsOfFixedProportions) {
  ASSERT_TRUE(StartWith("dummy", nullptr));
  struct Case {
    int height;
    int cell, ascent;
  } cases[] = {{16, 16, 14}, {-24, 24, 21}, {0, 16, 14}, {5000, plat::kMaxFontHeight, 896}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.height);
    plat::FontSpec request;
    request.height = c.height;
    const int font = plat::CreateFont(request);
    ASSERT_GE(font, 0);
    plat::FontMetrics m{};
    ASSERT_TRUE(plat::GetFontMetrics(font, m));
    EXPECT_EQ(m.height, c.cell);
    EXPECT_EQ(m.ascent, c.ascent);
    EXPECT_EQ(m.ascent + m.descent, m.height);
    EXPECT_GE(m.underlineThickness, 1);
    plat::Glyph g{};
    ASSERT_TRUE(plat::GetGlyph(font, 'A', g));
    EXPECT_EQ(g.advance, (c.cell + 1) / 2);
    EXPECT_EQ(g.advanceX, g.advance * 64);
    EXPECT_EQ(g.advanceY, 0);
    ASSERT_NE(g.mask, nullptr);
    EXPECT_EQ(g.height, c.ascent);
    EXPECT_EQ(g.top, -c.ascent);
    // A hollow box: the edges set, the inside clear.
    EXPECT_EQ(g.mask[0], 255);
    EXPECT_EQ(g.mask[(g.height - 1) * g.pitch + g.width - 1], 255);
    EXPECT_EQ(g.mask[(g.height / 2) * g.pitch + g.width / 2], 0);
    ASSERT_TRUE(plat::GetGlyph(font, 0x3042, g));  // a full-width character
    EXPECT_EQ(g.advance, c.cell);
    ASSERT_TRUE(plat::GetGlyph(font, ' ', g));
    EXPECT_EQ(g.mask, nullptr);
    EXPECT_EQ(g.advance, (c.cell + 1) / 2);
    plat::DeleteFont(font);
  }
  plat::Shutdown();
}

TEST(Drivers, DummyFontSharesHandlesAndTurnsTheBaseline) {
  ASSERT_TRUE(StartWith("dummy", nullptr));
  plat::FontSpec a;
  a.height = 20;
  plat::FontSpec turned = a;
  turned.escapement = 900;
  const int f1 = plat::CreateFont(a), f2 = plat::CreateFont(a), f3 = plat::CreateFont(turned);
  ASSERT_GE(f1, 0);
  EXPECT_EQ(f1, f2);
  EXPECT_NE(f1, f3);
  plat::Glyph g{};
  ASSERT_TRUE(plat::GetGlyph(f3, 'x', g));
  EXPECT_EQ(g.advanceX, 0);
  EXPECT_EQ(g.advanceY, -10 * 64);  // up the screen
  EXPECT_FALSE(plat::GetGlyph(-1, 'x', g));
  EXPECT_FALSE(plat::GetGlyph(99, 'x', g));
  // Every handle in use and held: the next different font is refused.
  int made = 0;
  for (int h = 1; h <= 40; ++h) {
    plat::FontSpec s;
    s.height = 100 + h;
    if (plat::CreateFont(s) >= 0) ++made;
  }
  EXPECT_LT(made, 40);
  plat::FontSpec last;
  last.height = 999;
  EXPECT_EQ(plat::CreateFont(last), -1);
  plat::Shutdown();
}

// The dummy vector driver takes and refuses the same pixel layouts as
// Cairo, and hands out and takes back canvases the same way.
TEST(Drivers, DummyVectorRefusesWhatCairoRefuses) {
  static uint16_t pixels[64 * 64];
  struct Layout {
    int width, height, pitch;
  } layouts[] = {{64, 64, 64}, {3, 5, 4}, {3, 5, 3}, {2, 2, 2}, {5, 5, 8}, {0, 0, 0},
                 {-1, 4, 4},   {4, -1, 4}};
  plat::vector::Driver* drivers[] = {&plat::vector::CairoDriverInstance(),
                                     &plat::vector::DummyDriverInstance()};
  for (const Layout& l : layouts) {
    SCOPED_TRACE(std::to_string(l.width) + "x" + std::to_string(l.height) + " pitch " +
                 std::to_string(l.pitch));
    bool made[2];
    for (int d = 0; d < 2; ++d) {
      plat::vector::Canvas* c = drivers[d]->CreateCanvas(pixels, l.width, l.height, l.pitch);
      made[d] = c != nullptr;
      if (c) c->Destroy();
    }
    EXPECT_EQ(made[0], made[1]);
  }
  for (plat::vector::Driver* d : drivers) {
    EXPECT_EQ(d->CreateCanvas(nullptr, 4, 4, 4), nullptr) << d->Name();
    // A fixed number of canvases: all taken, the next is refused; one given
    // back, it is there again.
    plat::vector::Canvas* held[8] = {};
    int n = 0;
    while (n < 8 && (held[n] = d->CreateCanvas(pixels, 64, 64, 64))) ++n;
    EXPECT_GE(n, 2) << d->Name();
    EXPECT_LT(n, 8) << d->Name();
    held[0]->Destroy();
    held[0] = d->CreateCanvas(pixels, 64, 64, 64);
    EXPECT_NE(held[0], nullptr) << d->Name();
    for (int i = 0; i < n; ++i)
      if (held[i]) held[i]->Destroy();
  }
}

// Wide pens and hatches go through the vector driver; the one-pixel pen and
// plain fills are the primitives' own and draw with either driver.
TEST(Drivers, PrimitivesDrawWidePensAndHatchesOnlyThroughTheVectorDriver) {
  constexpr uint16_t kMarker = 0x7777;
  static const int32_t kTriangle[] = {100, 100, 300, 120, 180, 300};
  struct Shape {
    const char* name;
    void (*draw)();
    bool vector;       // has parts drawn by the vector driver
    bool onlyVector;   // ... and nothing else
  } shapes[] = {
      {"wide line", [] { oxDraw::Line(10, 10, 200, 90, 0xFF, 5); }, true, true},
      {"wide outline", [] { oxDraw::Rectangle(20, 20, 200, 150, 0, 0xFF00, 4); }, true, false},
      {"hatch", [] { oxDraw::Polygon(kTriangle, 3, 0xFF, 0, 1, 2); }, true, false},
      {"hatch on a background", [] { oxDraw::Polygon(kTriangle, 3, 0xFF, 0xFF0000, 1, 1); },
       true, false},
      {"thin line", [] { oxDraw::Line(10, 10, 200, 90, 0xFF, 1); }, false, false},
      {"thin outline", [] { oxDraw::Rectangle(20, 20, 200, 150, 0, 0xFF00, 1); }, false, false},
  };
  for (const Shape& s : shapes) {
    SCOPED_TRACE(s.name);
    int touched[2] = {};
    const char* drivers[] = {"cairo", "dummy"};
    for (int d = 0; d < 2; ++d) {
      {
        ScopedEnv vec("SAMPLEGAME_VECTOR_DRIVER", drivers[d]);
        oxtest::OpenScreen();
      }
      ASSERT_STREQ(plat::vector::Current().Name(), drivers[d]);
      oxDraw::FillRect(0, 0, 640, 480, kMarker);
      ASSERT_EQ(oxDraw::OpenDC(), 1);
      s.draw();
      oxDraw::CloseDC();
      for (int i = 0; i < 640 * 480; ++i) touched[d] += oxd::Scr().back->pixels[i] != kMarker;
    }
    EXPECT_GT(touched[0], 100);
    if (!s.vector) EXPECT_EQ(touched[1], touched[0]);
    else if (s.onlyVector) EXPECT_EQ(touched[1], 0);
    else EXPECT_LT(touched[1], touched[0]);
  }
  plat::Shutdown();
}

}  // namespace
