// The sprite table: loading, blank sprites, handles, colour keys, reload
// after a surface loss, and the BMP reader behind them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "draw/draw_state.h"
#include "draw/ox_draw.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "tests/test_support.h"

namespace {

using oxd::Scr;
using oxd::Sprites;

constexpr const char* kLoadError = "oxDraw::LoadObject : BMPファイルを読み込めません";
constexpr uint16_t kBackground = 0x1234;

uint16_t Pixel(const oxd::Surface* s, int x, int y) {
  return s->pixels[size_t(y) * size_t(s->pitch) + size_t(x)];
}
uint16_t BackPixel(int x, int y) { return Pixel(Scr().back, x, y); }

// RGB565 of a 0x00RRGGBB value, by truncation.
uint16_t Rgb565(uint32_t p) {
  return uint16_t((((p >> 16) & 0xFF) >> 3) << 11 | (((p >> 8) & 0xFF) >> 2) << 5 |
                  ((p & 0xFF) >> 3));
}

std::string PathOf(const std::string& name) { return oxtest::DataDir() + name; }

void WriteBytes(const std::string& name, const std::vector<uint8_t>& bytes) {
  std::ofstream out(PathOf(name), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::vector<uint8_t> ReadBytes(const std::string& name) {
  std::string s = oxtest::ReadFile(PathOf(name));
  return std::vector<uint8_t>(s.begin(), s.end());
}

void Put16(std::vector<uint8_t>& v, size_t at, uint16_t x) {
  v[at] = uint8_t(x);
  v[at + 1] = uint8_t(x >> 8);
}
void Put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + i] = uint8_t(x >> (8 * i));
}

// A BMP with a 40-byte info header: palette (0x00RRGGBB entries) and raw
// pixel data as given.
std::vector<uint8_t> MakeBmp(int32_t width, int32_t height, uint16_t bits, uint32_t compression,
                             const std::vector<uint32_t>& palette,
                             const std::vector<uint8_t>& data) {
  size_t offset = 54 + palette.size() * 4;
  std::vector<uint8_t> v(offset + data.size(), 0);
  v[0] = 'B';
  v[1] = 'M';
  Put32(v, 2, uint32_t(v.size()));
  Put32(v, 10, uint32_t(offset));
  Put32(v, 14, 40);
  Put32(v, 18, uint32_t(width));
  Put32(v, 22, uint32_t(height));
  Put16(v, 26, 1);
  Put16(v, 28, bits);
  Put32(v, 30, compression);
  Put32(v, 34, uint32_t(data.size()));
  Put32(v, 46, uint32_t(palette.size()));
  for (size_t i = 0; i < palette.size(); ++i) Put32(v, 54 + i * 4, palette[i]);
  std::copy(data.begin(), data.end(), v.begin() + long(offset));
  return v;
}

// Writes a 24-bit BMP into the data directory.
void WriteImage(const std::string& name, int w, int h, const std::vector<uint32_t>& pixels) {
  ASSERT_TRUE(oxtest::WriteBmp24(PathOf(name), w, h, pixels.data()));
}

class SpriteTable : public ::testing::Test {
 protected:
  void SetUp() override {
    oxtest::OpenScreen();
    oxDraw::SetVSync(0);
    oxDraw::FillRect(0, 0, 640, 480, kBackground);
    boxes_ = plat::headless::BoxCount();
    beeps_ = plat::headless::BeepCount();
  }
  int NewBoxes() const { return plat::headless::BoxCount() - boxes_; }
  int NewBeeps() const { return plat::headless::BeepCount() - beeps_; }
  int boxes_ = 0, beeps_ = 0;
};

TEST_F(SpriteTable, NameLengthLimitIsThirtyBytes) {
  std::string name30 = std::string(26, 'a') + ".bmp";
  std::string name31 = std::string(27, 'a') + ".bmp";
  WriteImage(name30, 2, 2, {1, 2, 3, 4});
  WriteImage(name31, 2, 2, {1, 2, 3, 4});

  int h = oxDraw::LoadObject(name30.c_str(), 1);
  EXPECT_EQ(h, 4);
  EXPECT_STREQ(Sprites()[4].name, name30.c_str());
  EXPECT_EQ(NewBoxes(), 0);

  EXPECT_EQ(oxDraw::LoadObject(name31.c_str(), 1), 0);
  EXPECT_EQ(NewBoxes(), 1);
  EXPECT_EQ(NewBeeps(), 1);
  EXPECT_STREQ(plat::headless::LastBox().caption, "エラー発生");
  EXPECT_STREQ(plat::headless::LastBox().text,
               "oxDraw::LoadObject : ファイル名またはリソース名が長すぎます");
  EXPECT_EQ(Sprites()[5].name[0], '\0');

  EXPECT_EQ(oxDraw::SwapObject(name31.c_str(), 4, 1), 0);
  EXPECT_STREQ(plat::headless::LastBox().text,
               "oxDraw::SwapObject : ファイル名またはリソース名が長すぎます");
  // The refused swap left the sprite alone.
  EXPECT_STREQ(Sprites()[4].name, name30.c_str());
  EXPECT_NE(Sprites()[4].surface, nullptr);
}

TEST_F(SpriteTable, HandlesRunOutAndReleasedOnesComeBack) {
  WriteImage("one.bmp", 1, 1, {0xFFFFFF});
  for (int i = 0; i < 1020; ++i) ASSERT_EQ(oxDraw::CreateObject(1, 1, 1), 4 + i);
  EXPECT_EQ(NewBoxes(), 0);

  EXPECT_EQ(oxDraw::CreateObject(1, 1, 1), 0);
  EXPECT_STREQ(plat::headless::LastBox().text, "oxDraw::CreateObject : オブジェクト数が多過ぎます");
  EXPECT_EQ(oxDraw::LoadObject("one.bmp", 1), 0);
  EXPECT_STREQ(plat::headless::LastBox().text, "oxDraw::LoadObject : オブジェクト数が多過ぎます");
  EXPECT_EQ(NewBoxes(), 2);

  oxDraw::ReleaseObject(700);
  oxDraw::ReleaseObject(9);
  EXPECT_EQ(Sprites()[9].surface, nullptr);
  EXPECT_EQ(Sprites()[9].name[0], '\0');
  EXPECT_EQ(Sprites()[9].reloadKind, 2);
  EXPECT_EQ(oxDraw::LoadObject("one.bmp", 1), 9);
  EXPECT_EQ(oxDraw::CreateObject(1, 1, 1), 700);
  EXPECT_EQ(oxDraw::CreateObject(1, 1, 1), 0);
  // Internal sprites are never handed out.
  for (int h = 0; h < 4; ++h) EXPECT_EQ(Sprites()[h].width, 640);
}

TEST_F(SpriteTable, SameFileTwiceGivesTwoRecords) {
  WriteImage("twice.bmp", 2, 1, {0xFF0000, 0x00FF00});
  int a = oxDraw::LoadObject("twice.bmp", 1);
  int b = oxDraw::LoadObject("twice.bmp", 1);
  ASSERT_EQ(a, 4);
  ASSERT_EQ(b, 5);
  ASSERT_NE(Sprites()[a].surface, Sprites()[b].surface);
  for (int h : {a, b}) {
    EXPECT_EQ(Sprites()[h].width, 2);
    EXPECT_EQ(Sprites()[h].height, 1);
    EXPECT_EQ(Pixel(Sprites()[h].surface, 0, 0), 0xF800);
    EXPECT_EQ(Pixel(Sprites()[h].surface, 1, 0), 0x07E0);
  }
}

TEST_F(SpriteTable, UnreadableFilesFailAndFreeTheirRecord) {
  std::vector<uint32_t> px(4 * 4, 0x808080);
  WriteImage("good.bmp", 4, 4, px);
  std::vector<uint8_t> good = ReadBytes("good.bmp");
  ASSERT_EQ(good.size(), 54u + 4 * 12);

  auto variant = [&](auto edit) {
    std::vector<uint8_t> v = good;
    edit(v);
    return v;
  };
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
  };
  std::vector<Case> cases = {
      {"truncated.bmp", std::vector<uint8_t>(good.begin(), good.end() - 5)},
      {"header_only.bmp", std::vector<uint8_t>(good.begin(), good.begin() + 20)},
      {"empty.bmp", {}},
      {"magic.bmp", variant([](auto& v) { v[0] = 'X'; })},
      {"huge.bmp", variant([](auto& v) { Put32(v, 18, 100000); Put32(v, 22, 100000); })},
      {"many_pixels.bmp", variant([](auto& v) { Put32(v, 18, 16384); Put32(v, 22, 16384); })},
      {"big_within.bmp", variant([](auto& v) { Put32(v, 18, 4096); Put32(v, 22, 4096); })},
      {"neg_width.bmp", variant([](auto& v) { Put32(v, 18, uint32_t(-4)); })},
      {"min_height.bmp", variant([](auto& v) { Put32(v, 22, 0x80000000u); })},
      {"zero_height.bmp", variant([](auto& v) { Put32(v, 22, 0); })},
      {"planes.bmp", variant([](auto& v) { Put16(v, 26, 2); })},
      {"bits.bmp", variant([](auto& v) { Put16(v, 28, 7); })},
      {"compression.bmp", variant([](auto& v) { Put32(v, 30, 4); })},
      {"info_size.bmp", variant([](auto& v) { Put32(v, 14, 41); })},
      {"offset.bmp", variant([](auto& v) { Put32(v, 10, 0xFFFFFFF0u); })},
      {"palette.bmp", MakeBmp(2, 2, 8, 0, std::vector<uint32_t>(4), std::vector<uint8_t>(8))},
  };
  // A palette that claims more colours than the file holds.
  Put32(cases.back().bytes, 46, 256);

  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteBytes(c.name, c.bytes);
    int before = plat::headless::BoxCount();
    EXPECT_EQ(oxDraw::LoadObject(c.name, 1), 0);
    EXPECT_EQ(plat::headless::BoxCount(), before + 1);
    EXPECT_STREQ(plat::headless::LastBox().text, kLoadError);
    EXPECT_EQ(Sprites()[4].name[0], '\0');
    EXPECT_EQ(Sprites()[4].surface, nullptr);
  }
  // Missing file, and a directory in its place.
  EXPECT_EQ(oxDraw::LoadObject("missing.bmp", 1), 0);
  EXPECT_STREQ(plat::headless::LastBox().text, kLoadError);
  EXPECT_EQ(oxDraw::LoadObject("", 1), 0);
  EXPECT_EQ(oxDraw::LoadObject(nullptr, 1), 0);
  EXPECT_STREQ(plat::headless::LastBox().text, kLoadError);
  // Handle 0 is the Buffer sprite: the failed load left it whole.
  EXPECT_EQ(Sprites()[0].width, 640);

  // Failed loads cost no handles.
  EXPECT_EQ(oxDraw::LoadObject("good.bmp", 1), 4);
  EXPECT_EQ(Pixel(Sprites()[4].surface, 3, 3), Rgb565(0x808080));
}

TEST_F(SpriteTable, ReaderDecodesOtherDepthsAndOrientations) {
  // 8-bit palette, bottom-up rows padded to 4 bytes.
  std::vector<uint32_t> pal = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
  WriteBytes("pal8.bmp", MakeBmp(3, 2, 8, 0, pal, {1, 2, 3, 0, 3, 2, 1, 0}));
  // 32-bit top-down.
  std::vector<uint8_t> px32 = {0x10, 0x20, 0x30, 0, 0xFF, 0xFF, 0xFF, 0,
                               0x00, 0x00, 0xF8, 0, 0x08, 0x00, 0x00, 0};
  WriteBytes("top32.bmp", MakeBmp(2, -2, 32, 0, {}, px32));
  // 8-bit run-length: bottom row two of colour 1, top row two of colour 3.
  WriteBytes("rle8.bmp", MakeBmp(2, 2, 8, 1, pal, {2, 1, 0, 0, 2, 3, 0, 1}));
  // 1-bit.
  WriteBytes("mono.bmp", MakeBmp(3, 1, 1, 0, {0x000000, 0xFFFFFF}, {0xA0, 0, 0, 0}));

  int p8 = oxDraw::LoadObject("pal8.bmp", 1);
  ASSERT_NE(p8, 0);
  const oxd::Surface* s = Sprites()[p8].surface;
  EXPECT_EQ(Pixel(s, 0, 0), 0x001F);  // top row: 3 2 1
  EXPECT_EQ(Pixel(s, 1, 0), 0x07E0);
  EXPECT_EQ(Pixel(s, 2, 0), 0xF800);
  EXPECT_EQ(Pixel(s, 0, 1), 0xF800);  // bottom row: 1 2 3
  EXPECT_EQ(Pixel(s, 2, 1), 0x001F);

  int t32 = oxDraw::LoadObject("top32.bmp", 1);
  ASSERT_NE(t32, 0);
  s = Sprites()[t32].surface;
  EXPECT_EQ(Pixel(s, 0, 0), Rgb565(0x302010));
  EXPECT_EQ(Pixel(s, 1, 0), 0xFFFF);
  EXPECT_EQ(Pixel(s, 0, 1), 0xF800);
  EXPECT_EQ(Pixel(s, 1, 1), 0x0001);

  int rle = oxDraw::LoadObject("rle8.bmp", 1);
  ASSERT_NE(rle, 0);
  s = Sprites()[rle].surface;
  EXPECT_EQ(Pixel(s, 0, 0), 0x001F);
  EXPECT_EQ(Pixel(s, 1, 0), 0x001F);
  EXPECT_EQ(Pixel(s, 0, 1), 0xF800);
  EXPECT_EQ(Pixel(s, 1, 1), 0xF800);

  int mono = oxDraw::LoadObject("mono.bmp", 1);
  ASSERT_NE(mono, 0);
  s = Sprites()[mono].surface;
  EXPECT_EQ(Pixel(s, 0, 0), 0xFFFF);
  EXPECT_EQ(Pixel(s, 1, 0), 0x0000);
  EXPECT_EQ(Pixel(s, 2, 0), 0xFFFF);
  EXPECT_EQ(NewBoxes(), 0);
}

TEST_F(SpriteTable, BlackKeySkipsOnlyPixelsThatConvertToZero) {
  // Black, (8,0,0), (4,0,0) which truncates to 0, white.
  WriteImage("keys.bmp", 4, 1, {0x000000, 0x080000, 0x040000, 0xFFFFFF});
  int h = oxDraw::LoadObject("keys.bmp", 1);
  ASSERT_EQ(h, 4);
  EXPECT_EQ(Sprites()[h].keyColor, 0);
  oxDraw::Draw(200, 100, h, 0, 0, 4, 1);
  EXPECT_EQ(BackPixel(200, 100), kBackground);
  EXPECT_EQ(BackPixel(201, 100), 0x0800);
  EXPECT_EQ(BackPixel(202, 100), kBackground);
  EXPECT_EQ(BackPixel(203, 100), 0xFFFF);
  oxDraw::Present();
  EXPECT_EQ(Pixel(oxd::PresentedSurface(), 201, 100), 0x0800);
}

TEST_F(SpriteTable, TopLeftKeyAndExplicitKeys) {
  const uint32_t magenta = 0xFF00FF, black = 0, green = 0x00FF00;
  WriteImage("magenta.bmp", 3, 2, {magenta, black, green, green, magenta, black});

  oxDraw::SetKeyTopLeft();
  int h = oxDraw::LoadObject("magenta.bmp", 1);
  ASSERT_EQ(h, 4);
  EXPECT_EQ(Sprites()[h].keyColor, -1);
  oxDraw::Draw(300, 200, h, 0, 0, 3, 2);
  EXPECT_EQ(BackPixel(300, 200), kBackground);
  EXPECT_EQ(BackPixel(301, 200), 0x0000);  // black is drawn
  EXPECT_EQ(BackPixel(302, 200), 0x07E0);
  EXPECT_EQ(BackPixel(301, 201), kBackground);
  EXPECT_EQ(BackPixel(302, 201), 0x0000);

  // Key colour by reference: green transparent, magenta drawn.
  oxDraw::SetKeyColor(0x0000FF00);  // colour reference 0x00BBGGRR
  EXPECT_EQ(oxd::Keys().topLeftKey, 0);
  int g = oxDraw::LoadObject("magenta.bmp", 1);
  ASSERT_EQ(g, 5);
  EXPECT_EQ(Sprites()[g].keyColor, 0x0000FF00);
  oxDraw::Draw(400, 200, g, 0, 0, 3, 2);
  EXPECT_EQ(BackPixel(400, 200), 0xF81F);
  EXPECT_EQ(BackPixel(402, 200), kBackground);
  EXPECT_EQ(BackPixel(400, 201), kBackground);

  // Per-object key, and a key copied without touching the record.
  oxDraw::SetObjectKey(g, 0);
  EXPECT_EQ(Sprites()[g].keyColor, 0);
  EXPECT_EQ(Sprites()[g].surface->key, 0);
  oxDraw::CopyKey(g, h);
  EXPECT_EQ(Sprites()[g].surface->key, 0xF81F);
  EXPECT_EQ(Sprites()[g].keyColor, 0);
  oxDraw::SetObjectKeyTopLeft(g);
  EXPECT_EQ(Sprites()[g].keyColor, -1);
  EXPECT_EQ(Sprites()[g].surface->key, 0xF81F);

  // A blank sprite takes the key defaults too.
  oxDraw::SetKeyColor(0x000000FF);  // red
  int b = oxDraw::CreateObject(10, 5, 1);
  ASSERT_EQ(b, 6);
  EXPECT_STREQ(Sprites()[b].name, "*");
  EXPECT_EQ(Sprites()[b].keyColor, 0xFF);
  EXPECT_EQ(Sprites()[b].surface->key, 0xF800);
  EXPECT_EQ(Sprites()[b].width, 10);
  EXPECT_EQ(Sprites()[b].height, 5);
}

TEST_F(SpriteTable, HandlesOutOfRangeDoNothing) {
  WriteImage("r.bmp", 1, 1, {0xFFFFFF});
  ASSERT_EQ(oxDraw::LoadObject("r.bmp", 1), 4);
  EXPECT_EQ(oxDraw::SwapObject("r.bmp", -1, 1), 0);
  EXPECT_EQ(oxDraw::SwapObject("r.bmp", 1024, 1), 0);
  oxDraw::ReleaseObject(-1);
  oxDraw::ReleaseObject(1024);
  oxDraw::SetObjectKey(5000, 0xFF);
  oxDraw::SetObjectKeyTopLeft(-7);
  oxDraw::CopyKey(1024, 4);
  oxDraw::CopyKey(4, -1);
  EXPECT_EQ(oxd::SpriteSurface(1024), nullptr);
  EXPECT_EQ(oxd::SpriteSurface(-1), nullptr);
  EXPECT_EQ(NewBoxes(), 0);
  EXPECT_EQ(Sprites()[4].surface->key, 0);
}

TEST_F(SpriteTable, SwapPutsAnotherBitmapIntoTheRecord) {
  WriteImage("a.bmp", 2, 2, {0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000});
  WriteImage("b.bmp", 3, 1, {0x0000FF, 0x000000, 0x0000FF});
  int h = oxDraw::LoadObject("a.bmp", 1);
  ASSERT_EQ(h, 4);
  EXPECT_EQ(oxDraw::SwapObject("b.bmp", h, 1), 1);
  EXPECT_STREQ(Sprites()[h].name, "b.bmp");
  EXPECT_EQ(Sprites()[h].width, 3);
  EXPECT_EQ(Sprites()[h].height, 1);
  oxDraw::Draw(10, 10, h, 0, 0, 3, 1);
  EXPECT_EQ(BackPixel(10, 10), 0x001F);
  EXPECT_EQ(BackPixel(11, 10), kBackground);

  // A failed swap keeps the handle taken but without a picture; releasing
  // it frees the handle.
  EXPECT_EQ(oxDraw::SwapObject("nothing.bmp", h, 1), 0);
  EXPECT_STREQ(plat::headless::LastBox().text, "oxDraw::SwapObject : BMPファイルを読み込めません");
  EXPECT_EQ(Sprites()[h].surface, nullptr);
  EXPECT_STREQ(Sprites()[h].name, "nothing.bmp");
  oxDraw::Draw(20, 20, h, 0, 0, 3, 1);
  EXPECT_EQ(BackPixel(20, 20), kBackground);
  EXPECT_EQ(oxDraw::LoadObject("a.bmp", 1), 5);
  oxDraw::ReleaseObject(h);
  EXPECT_EQ(oxDraw::LoadObject("a.bmp", 1), 4);
}

TEST_F(SpriteTable, LossReloadsBitmapsAndBlanksCreatedSprites) {
  WriteImage("pic.bmp", 2, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF});
  WriteImage("keyed.bmp", 2, 1, {0xFF00FF, 0x00FF00});
  int pic = oxDraw::LoadObject("pic.bmp", 1);
  oxDraw::SetKeyTopLeft();
  int keyed = oxDraw::LoadObject("keyed.bmp", 1);
  oxDraw::SetKeyColor(0x00FFFFFF);
  int blank = oxDraw::CreateObject(4, 4, 1);
  ASSERT_EQ(pic, 4);
  ASSERT_EQ(keyed, 5);
  ASSERT_EQ(blank, 6);
  oxDraw::FillRect(0, 0, 4, 4, 0x5555);
  oxDraw::Capture(blank, 0, 0, 4, 4);
  ASSERT_EQ(Pixel(Sprites()[blank].surface, 3, 3), 0x5555);
  const oxd::Surface* blankSurface = Sprites()[blank].surface;
  oxDraw::SetKeyTopLeft();

  oxd::MarkAllSurfacesLost();
  // The draw meets the loss, restores everything and draws nothing.
  oxDraw::Draw(50, 50, pic, 0, 0, 2, 2);
  EXPECT_EQ(BackPixel(50, 50), 0);

  for (int h = 0; h < 7; ++h) EXPECT_FALSE(Sprites()[h].surface->lost) << h;
  EXPECT_FALSE(Scr().back->lost);
  EXPECT_FALSE(Scr().screen->lost);
  // Loaded sprites show their bitmaps with their own keys again.
  oxDraw::FillRect(0, 0, 640, 480, kBackground);
  oxDraw::Draw(50, 50, pic, 0, 0, 2, 2);
  EXPECT_EQ(BackPixel(50, 50), 0xF800);
  EXPECT_EQ(BackPixel(51, 50), 0x07E0);
  EXPECT_EQ(BackPixel(50, 51), 0x001F);
  EXPECT_EQ(BackPixel(51, 51), 0xFFFF);
  EXPECT_EQ(Sprites()[keyed].keyColor, -1);
  oxDraw::Draw(60, 60, keyed, 0, 0, 2, 1);
  EXPECT_EQ(BackPixel(60, 60), kBackground);
  EXPECT_EQ(BackPixel(61, 60), 0x07E0);
  // The blank sprite keeps its surface and key, not its picture.
  EXPECT_EQ(Sprites()[blank].surface, blankSurface);
  EXPECT_STREQ(Sprites()[blank].name, "*");
  EXPECT_EQ(Pixel(Sprites()[blank].surface, 3, 3), 0);
  EXPECT_EQ(Sprites()[blank].surface->key, 0xFFFF);
  // The key defaults are now the last reloaded sprite's, top-left rule off.
  EXPECT_EQ(oxd::Keys().topLeftKey, 0);
  EXPECT_EQ(oxd::Keys().defaultKeyColor, -1);
  EXPECT_EQ(NewBoxes(), 0);
}

TEST_F(SpriteTable, KeyOfALostSurfaceWaitsForTheReload) {
  WriteImage("k.bmp", 2, 1, {0xFF0000, 0xFFFFFF});
  int h = oxDraw::LoadObject("k.bmp", 1);
  ASSERT_EQ(h, 4);
  oxd::MarkAllSurfacesLost();
  // The surface cannot be read: its key stays as it was (white is not made
  // transparent), the record takes the new colour.
  EXPECT_EQ(oxd::MatchColor(*Sprites()[h].surface, 0xFF), 0xFFFFFFFFu);
  oxDraw::SetObjectKey(h, 0x000000FF);
  EXPECT_EQ(Sprites()[h].surface->key, 0);
  EXPECT_EQ(Sprites()[h].keyColor, 0xFF);
  oxDraw::Restore();
  EXPECT_EQ(Sprites()[h].surface->key, 0xF800);
  oxDraw::Draw(5, 5, h, 0, 0, 2, 1);
  EXPECT_EQ(BackPixel(5, 5), 0);  // the back buffer came back blank
  EXPECT_EQ(BackPixel(6, 5), 0xFFFF);
}

TEST_F(SpriteTable, ReloadOfAVanishedFileIsReported) {
  WriteImage("gone.bmp", 1, 1, {0xFFFFFF});
  int h = oxDraw::LoadObject("gone.bmp", 1);
  ASSERT_EQ(h, 4);
  ASSERT_EQ(unlink(PathOf("gone.bmp").c_str()), 0);
  oxd::MarkAllSurfacesLost();
  oxDraw::Restore();
  EXPECT_STREQ(plat::headless::LastBox().text, "oxDraw::SwapObject : BMPファイルを読み込めません");
  EXPECT_EQ(Sprites()[h].surface, nullptr);
  // A second restore skips the record without a surface.
  int boxes = plat::headless::BoxCount();
  oxd::MarkAllSurfacesLost();
  oxDraw::Restore();
  EXPECT_EQ(plat::headless::BoxCount(), boxes);
  oxDraw::Draw(0, 0, h, 0, 0, 1, 1);
}

TEST(BmpReader, RefusesBeforeAllocatingAndRoundTrips) {
  // A 54-byte header claiming 16384 x 16384 x 32 bits: refused by size.
  std::vector<uint8_t> v = MakeBmp(16384, 16384, 32, 0, {}, {});
  plat::Image image;
  EXPECT_FALSE(plat::DecodeBmp(v.data(), v.size(), image));
  EXPECT_EQ(image.pixels, nullptr);
  EXPECT_FALSE(plat::DecodeBmp(nullptr, 0, image));

  // Core (12-byte) header, 24 bits, 1 x 1.
  std::vector<uint8_t> core = {'B', 'M', 30, 0, 0, 0, 0, 0, 0, 0, 26, 0, 0, 0, 12, 0,
                               0,   0,   1,  0, 1, 0, 1, 0, 24, 0, 0x33, 0x22, 0x11, 0};
  ASSERT_TRUE(plat::DecodeBmp(core.data(), core.size(), image));
  EXPECT_EQ(image.width, 1);
  EXPECT_EQ(image.height, 1);
  EXPECT_EQ(image.pixels[0], 0x112233u);
  plat::FreeImage(image);
  EXPECT_EQ(image.pixels, nullptr);
  EXPECT_EQ(image.width, 0);
}

}  // namespace
