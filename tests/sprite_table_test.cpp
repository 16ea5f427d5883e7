// The sprite table: loading, blank sprites, handles, colour keys, reload after a surface loss,
// and the BMP reader behind them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <random>
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
constexpr const char* kSwapError = "oxDraw::SwapObject : BMPファイルを読み込めません";
constexpr uint16_t kBackground = 0x1234;

uint16_t Pixel(const oxd::Surface* s, int x, int y) { return s->pixels[y * s->pitch + x]; }
using Px = std::vector<uint16_t>;
Px Block(const oxd::Surface* s, int x, int y, int w, int h = 1) {
  Px out;
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i) out.push_back(Pixel(s, x + i, y + j));
  return out;
}
Px Back(int x, int y, int w, int h = 1) { return Block(Scr().back, x, y, w, h); }
// A record's key colour and the key its surface uses.
std::pair<long, long> KeyPair(int h) { return {Sprites()[h].keyColor, Sprites()[h].surface->key}; }

std::string PathOf(const std::string& name) { return oxtest::DataDir() + name; }

void WriteBytes(const std::string& name, const std::vector<uint8_t>& bytes) {
  oxtest::WriteFile(PathOf(name), std::string(bytes.begin(), bytes.end()));
}

void Put(std::vector<uint8_t>& v, size_t at, uint32_t x, int bytes) {
  for (int i = 0; i < bytes; ++i) v[at + i] = uint8_t(x >> (8 * i));
}
void Put16(std::vector<uint8_t>& v, size_t at, uint16_t x) { Put(v, at, x, 2); }
void Put32(std::vector<uint8_t>& v, size_t at, uint32_t x) { Put(v, at, x, 4); }

// A BMP with a 40-byte info header, the palette (0x00RRGGBB) and raw pixel data as given.
std::vector<uint8_t> MakeBmp(int32_t width, int32_t height, uint16_t bits, uint32_t compression,
                             const std::vector<uint32_t>& palette,
                             const std::vector<uint8_t>& data) {
  size_t offset = 54 + palette.size() * 4;
  std::vector<uint8_t> v(offset + data.size(), 0);
  Put16(v, 0, 0x4D42);  // "BM"
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
    oxDraw::FillRect(0, 0, 640, 480, kBackground);
    boxes_ = plat::headless::BoxCount();
  }
  int NewBoxes() const { return plat::headless::BoxCount() - boxes_; }
  int boxes_ = 0;
};

TEST_F(SpriteTable, NameLengthLimitIsThirtyBytes) {
  std::string name30 = std::string(26, 'a') + ".bmp";
  std::string name31 = std::string(27, 'a') + ".bmp";
  WriteImage(name30, 2, 2, {1, 2, 3, 4});
  int beeps = plat::headless::BeepCount();

  EXPECT_EQ(oxDraw::LoadObject(name30.c_str(), 1), 4);
  EXPECT_EQ(NewBoxes(), 0);
  EXPECT_EQ(oxDraw::LoadObject(name31.c_str(), 1), 0);
  EXPECT_EQ(NewBoxes(), 1);
  EXPECT_EQ(plat::headless::BeepCount(), beeps + 1);
  EXPECT_STREQ(plat::headless::LastBox().caption, "エラー発生");
  EXPECT_STREQ(plat::headless::LastBox().text,
               "oxDraw::LoadObject : ファイル名またはリソース名が長すぎます");
  EXPECT_EQ(Sprites()[5].name[0], '\0');

  EXPECT_EQ(oxDraw::SwapObject(name31.c_str(), 4, 1), 0);
  EXPECT_STREQ(plat::headless::LastBox().text,
               "oxDraw::SwapObject : ファイル名またはリソース名が長すぎます");
  EXPECT_STREQ(Sprites()[4].name, name30.c_str());  // the refused swap left the sprite alone
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
  // Handles out of range are ignored, without a message: the table stays full.
  for (int bad : {-1, 1024}) {
    EXPECT_EQ(oxDraw::SwapObject("one.bmp", bad, 1), 0);
    EXPECT_EQ(oxd::SpriteSurface(bad), nullptr);
    oxDraw::ReleaseObject(bad);
  }
  oxDraw::SetObjectKey(5000, 0xFF);
  oxDraw::SetObjectKeyTopLeft(-7);
  oxDraw::CopyKey(1024, 4);
  oxDraw::CopyKey(4, -1);
  EXPECT_EQ(Sprites()[4].surface->key, 0);
  EXPECT_EQ(oxDraw::CreateObject(1, 1, 1), 0);
  EXPECT_EQ(NewBoxes(), 3);
  oxDraw::ReleaseObject(700);
  oxDraw::ReleaseObject(9);
  EXPECT_TRUE(!Sprites()[9].surface && !Sprites()[9].name[0] && Sprites()[9].reloadKind == 2);
  EXPECT_EQ(oxDraw::LoadObject("one.bmp", 1), 9);
  EXPECT_EQ(oxDraw::CreateObject(1, 1, 1), 700);
  EXPECT_EQ(oxDraw::CreateObject(1, 1, 1), 0);
  // Internal sprites are never handed out.
  for (int h = 0; h < 4; ++h) EXPECT_EQ(Sprites()[h].width, 640);
}

TEST_F(SpriteTable, UnreadableFilesFailAndFreeTheirRecord) {
  const std::vector<uint8_t> px(4 * 12, 0x80);  // 4 x 4 grey, 24 bits
  const std::vector<uint8_t> good = MakeBmp(4, 4, 24, 0, {}, px);
  auto edited = [&](size_t at, uint32_t value, int size = 4) {
    std::vector<uint8_t> v = good;
    Put(v, at, value, size);
    return v;
  };
  std::vector<uint8_t> palette =
      MakeBmp(2, 2, 8, 0, std::vector<uint32_t>(4), {0, 0, 0, 0, 0, 0, 0, 0});
  Put32(palette, 46, 256);  // claims more colours than the file holds

  // One file per check the reader makes.
  const std::vector<std::pair<const char*, std::vector<uint8_t>>> cases = {
      {"empty.bmp", {}},
      {"header_only.bmp", std::vector<uint8_t>(good.begin(), good.begin() + 20)},
      {"truncated.bmp", std::vector<uint8_t>(good.begin(), good.end() - 5)},
      {"magic.bmp", edited(0, 'X', 2)},
      {"offset.bmp", edited(10, 0xFFFFFFF0u)},
      {"info_size.bmp", edited(14, 41)},
      {"planes.bmp", edited(26, 2, 2)},
      {"huge.bmp", MakeBmp(100000, 100000, 24, 0, {}, px)},
      {"neg_width.bmp", MakeBmp(-4, 4, 24, 0, {}, px)},
      {"min_height.bmp", MakeBmp(4, INT32_MIN, 24, 0, {}, px)},
      {"zero_height.bmp", MakeBmp(4, 0, 24, 0, {}, px)},
      {"bits.bmp", MakeBmp(4, 4, 7, 0, {}, px)},
      {"compression.bmp", MakeBmp(4, 4, 24, 4, {}, px)},
      {"rle24.bmp", MakeBmp(4, 4, 24, 1, {}, px)},
      {"palette.bmp", palette},
  };
  // Also a missing file, an empty name and no name at all.
  std::vector<const char*> names = {"missing.bmp", "", nullptr};
  for (const auto& [name, bytes] : cases) {
    WriteBytes(name, bytes);
    names.push_back(name);
  }
  for (const char* name : names) {
    SCOPED_TRACE(name);
    int before = plat::headless::BoxCount();
    EXPECT_EQ(oxDraw::LoadObject(name, 1), 0);
    EXPECT_EQ(plat::headless::BoxCount(), before + 1);
    EXPECT_STREQ(plat::headless::LastBox().text, kLoadError);
    EXPECT_TRUE(!Sprites()[4].name[0] && !Sprites()[4].surface);
  }
  EXPECT_EQ(Sprites()[0].width, 640);  // the Buffer sprite (handle 0) is left whole
  // Failed loads cost no handles.
  WriteBytes("good.bmp", good);
  EXPECT_EQ(oxDraw::LoadObject("good.bmp", 1), 4);
  EXPECT_EQ(Pixel(Sprites()[4].surface, 3, 3), 0x8410);
}

TEST_F(SpriteTable, ReaderDecodesEveryDepthAndOrientation) {
  // Loads the file twice: two records with their own surfaces, each showing `rows` from the top.
  auto check = [&](const char* name, const std::vector<uint8_t>& bytes, std::vector<Px> rows) {
    SCOPED_TRACE(name);
    WriteBytes(name, bytes);
    int a = oxDraw::LoadObject(name, 1);
    ASSERT_NE(a, 0);
    ASSERT_EQ(oxDraw::LoadObject(name, 1), a + 1);
    ASSERT_NE(Sprites()[a].surface, Sprites()[a + 1].surface);
    const int w = int(rows[0].size()), height = int(rows.size());
    Px all;
    for (const Px& row : rows) all.insert(all.end(), row.begin(), row.end());
    for (int h : {a, a + 1}) {
      ASSERT_TRUE(Sprites()[h].width == w && Sprites()[h].height == height);
      EXPECT_EQ(Block(Sprites()[h].surface, 0, 0, w, height), all);
    }
  };
  const std::vector<uint32_t> pal = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
  // 24-bit and 8-bit palette, bottom-up, rows padded to 4 bytes.
  check("rgb24.bmp", MakeBmp(2, 1, 24, 0, {}, {0, 0, 0xFF, 0, 0xFF, 0, 0, 0}), {{0xF800, 0x07E0}});
  check("pal8.bmp", MakeBmp(3, 2, 8, 0, pal, {1, 2, 3, 0, 3, 2, 1, 0}),
        {{0x001F, 0x07E0, 0xF800}, {0xF800, 0x07E0, 0x001F}});
  // 32-bit top-down; channels truncate to 5/6/5 bits.
  check("top32.bmp",
        MakeBmp(2, -2, 32, 0, {},
                {0x10, 0x20, 0x30, 0, 0xFF, 0xFF, 0xFF, 0, 0x00, 0x00, 0xF8, 0, 0x08, 0, 0, 0}),
        {{0x3102, 0xFFFF}, {0xF800, 0x0001}});
  // 8-bit run-length: bottom row two of colour 1, top row two of colour 3.
  check("rle8.bmp", MakeBmp(2, 2, 8, 1, pal, {2, 1, 0, 0, 2, 3, 0, 1}),
        {{0x001F, 0x001F}, {0xF800, 0xF800}});
  // Core (12-byte) header, 24 bits, 1 x 1.
  check("core.bmp", {'B', 'M', 30, 0, 0, 0, 0, 0, 0, 0,  26, 0,    0,    0,    12,
                     0,   0,   0,  1, 0, 1, 0, 1, 0, 24, 0,  0x33, 0x22, 0x11, 0},
        {{0x1106}});
  check("mono.bmp", MakeBmp(3, 1, 1, 0, {0x000000, 0xFFFFFF}, {0xA0, 0, 0, 0}),
        {{0xFFFF, 0x0000, 0xFFFF}});
  EXPECT_EQ(NewBoxes(), 0);
}

TEST_F(SpriteTable, ColourKeys) {
  // The default black key skips only pixels that convert to zero: black and (4,0,0).
  WriteImage("keys.bmp", 4, 1, {0x000000, 0x080000, 0x040000, 0xFFFFFF});
  ASSERT_EQ(oxDraw::LoadObject("keys.bmp", 1), 4);
  EXPECT_EQ(Sprites()[4].keyColor, 0);
  oxDraw::Draw(200, 100, 4, 0, 0, 4, 1);
  EXPECT_EQ(Back(200, 100, 4), (Px{kBackground, 0x0800, kBackground, 0xFFFF}));

  // Top-left key: magenta transparent, black drawn.
  const uint32_t magenta = 0xFF00FF, black = 0, green = 0x00FF00;
  WriteImage("magenta.bmp", 3, 2, {magenta, black, green, green, magenta, black});
  oxDraw::SetKeyTopLeft();
  int h = oxDraw::LoadObject("magenta.bmp", 1);
  ASSERT_EQ(h, 5);
  oxDraw::Draw(300, 200, h, 0, 0, 3, 2);
  EXPECT_EQ(Back(300, 200, 3, 2), (Px{kBackground, 0x0000, 0x07E0, 0x07E0, kBackground, 0x0000}));

  // Key colour by reference: green transparent, magenta drawn.
  oxDraw::SetKeyColor(0x0000FF00);  // colour reference 0x00BBGGRR
  int g = oxDraw::LoadObject("magenta.bmp", 1);
  ASSERT_EQ(g, 6);
  EXPECT_EQ(KeyPair(h), std::make_pair(-1L, 0xF81FL));
  EXPECT_EQ(Sprites()[g].keyColor, 0x0000FF00);
  oxDraw::Draw(400, 200, g, 0, 0, 3, 2);
  EXPECT_EQ(Back(400, 200, 3, 2), (Px{0xF81F, 0x0000, kBackground, kBackground, 0xF81F, 0x0000}));

  // Per-object key, and a key copied without touching the record.
  oxDraw::SetObjectKey(g, 0);
  EXPECT_EQ(KeyPair(g), std::make_pair(0L, 0L));
  oxDraw::CopyKey(g, h);
  EXPECT_EQ(KeyPair(g), std::make_pair(0L, 0xF81FL));
  oxDraw::SetObjectKeyTopLeft(g);
  EXPECT_EQ(KeyPair(g), std::make_pair(-1L, 0xF81FL));

  // A blank sprite takes the key defaults too.
  oxDraw::SetKeyColor(0x000000FF);  // red
  int b = oxDraw::CreateObject(10, 5, 1);
  ASSERT_EQ(b, 7);
  EXPECT_STREQ(Sprites()[b].name, "*");
  EXPECT_EQ(KeyPair(b), std::make_pair(0xFFL, 0xF800L));
  EXPECT_TRUE(Sprites()[b].width == 10 && Sprites()[b].height == 5);
}

TEST_F(SpriteTable, SwapAndReloadOfUnreadableFiles) {
  WriteImage("a.bmp", 2, 2, {0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000});
  WriteImage("b.bmp", 3, 1, {0x0000FF, 0x000000, 0x0000FF});
  int h = oxDraw::LoadObject("a.bmp", 1);
  ASSERT_EQ(h, 4);
  EXPECT_EQ(oxDraw::SwapObject("b.bmp", h, 1), 1);
  EXPECT_STREQ(Sprites()[h].name, "b.bmp");
  oxDraw::Draw(10, 10, h, 0, 0, 3, 1);
  EXPECT_EQ(Back(10, 10, 3), (Px{0x001F, kBackground, 0x001F}));

  // A failed swap keeps the handle taken but without a picture.
  EXPECT_EQ(oxDraw::SwapObject("nothing.bmp", h, 1), 0);
  EXPECT_STREQ(plat::headless::LastBox().text, kSwapError);
  EXPECT_EQ(Sprites()[h].surface, nullptr);
  oxDraw::Draw(20, 20, h, 0, 0, 3, 1);
  EXPECT_EQ(Back(20, 20, 1), Px{kBackground});
  ASSERT_EQ(oxDraw::LoadObject("a.bmp", 1), 5);

  // A reload whose file vanished is reported like a failed swap; surfaceless records are skipped.
  ASSERT_EQ(unlink(PathOf("a.bmp").c_str()), 0);
  oxd::MarkAllSurfacesLost();
  oxDraw::Restore();
  EXPECT_EQ(NewBoxes(), 2);
  EXPECT_STREQ(plat::headless::LastBox().text, kSwapError);
  EXPECT_EQ(Sprites()[5].surface, nullptr);
  oxd::MarkAllSurfacesLost();
  oxDraw::Restore();
  EXPECT_EQ(NewBoxes(), 2);
  oxDraw::ReleaseObject(h);  // frees the handle
  EXPECT_EQ(oxDraw::LoadObject("b.bmp", 1), 4);
}

TEST_F(SpriteTable, LossReloadsBitmapsAndBlanksCreatedSprites) {
  WriteImage("pic.bmp", 2, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF});
  WriteImage("keyed.bmp", 2, 1, {0xFF00FF, 0x00FF00});
  int pic = oxDraw::LoadObject("pic.bmp", 1);
  oxDraw::SetKeyTopLeft();
  int keyed = oxDraw::LoadObject("keyed.bmp", 1);
  oxDraw::SetKeyColor(0x00FFFFFF);
  int blank = oxDraw::CreateObject(4, 4, 1);
  ASSERT_EQ((std::vector<int>{pic, keyed, blank}), (std::vector<int>{4, 5, 6}));
  oxDraw::FillRect(0, 0, 4, 4, 0x5555);
  oxDraw::Capture(blank, 0, 0, 4, 4);
  ASSERT_EQ(Pixel(Sprites()[blank].surface, 3, 3), 0x5555);
  const oxd::Surface* blankSurface = Sprites()[blank].surface;
  oxDraw::SetKeyTopLeft();

  oxd::MarkAllSurfacesLost();
  // A lost surface cannot be matched: its key waits for the reload, the record takes red at once.
  EXPECT_EQ(oxd::MatchColor(*Sprites()[pic].surface, 0xFF), 0xFFFFFFFFu);
  oxDraw::SetObjectKey(pic, 0x000000FF);
  EXPECT_EQ(KeyPair(pic), std::make_pair(0xFFL, 0L));
  // The draw meets the loss, restores everything and draws nothing.
  oxDraw::Draw(50, 50, pic, 0, 0, 2, 2);
  EXPECT_EQ(Back(50, 51, 2), (Px{0, 0}));

  for (int h = 0; h < 7; ++h) EXPECT_FALSE(Sprites()[h].surface->lost) << h;
  EXPECT_FALSE(Scr().back->lost || Scr().screen->lost);
  // Loaded sprites show their bitmaps with their own keys again.
  EXPECT_EQ(KeyPair(pic), std::make_pair(0xFFL, 0xF800L));
  oxDraw::FillRect(0, 0, 640, 480, kBackground);
  oxDraw::Draw(50, 50, pic, 0, 0, 2, 2);
  EXPECT_EQ(Back(50, 50, 2, 2), (Px{kBackground, 0x07E0, 0x001F, 0xFFFF}));
  EXPECT_EQ(Sprites()[keyed].keyColor, -1);
  oxDraw::Draw(60, 60, keyed, 0, 0, 2, 1);
  EXPECT_EQ(Back(60, 60, 2), (Px{kBackground, 0x07E0}));
  // The blank sprite keeps its surface and key, not its picture.
  EXPECT_EQ(Sprites()[blank].surface, blankSurface);
  EXPECT_EQ(Pixel(Sprites()[blank].surface, 3, 3), 0);
  EXPECT_EQ(Sprites()[blank].surface->key, 0xFFFF);
  // The key defaults are now the last reloaded sprite's, top-left rule off.
  EXPECT_TRUE(oxd::Keys().topLeftKey == 0 && oxd::Keys().defaultKeyColor == -1);
  EXPECT_EQ(NewBoxes(), 0);
}

TEST(SpriteTableBmpReader, RefusesAnOversizedHeaderBeforeAllocating) {
  // A 54-byte header claiming 16384 x 16384 x 32 bits: refused by size.
  std::vector<uint8_t> v = MakeBmp(16384, 16384, 32, 0, {}, {});
  plat::Image image;
  EXPECT_FALSE(plat::DecodeBmp(v.data(), v.size(), image));
  EXPECT_EQ(image.pixels, nullptr);
  EXPECT_FALSE(plat::DecodeBmp(nullptr, 0, image));
}

// The direct RGB565 reader gives what SDL's reader gives, converted, for
// 24-bit files of every row padding both ways up, and (through SDL) for
// other depths; broken files fail without a picture.
TEST(SpriteTableBmpReader, DirectRgb565ReadingMatchesTheGeneralReader) {
  std::mt19937 rng(5);
  struct Target {
    std::vector<uint16_t> pixels;
    int width = 0, height = 0, calls = 0;
  };
  auto allocate = [](void* context, int w, int h, int* pitch) -> uint16_t* {
    Target& t = *static_cast<Target*>(context);
    ++t.calls;
    t.width = w;
    t.height = h;
    *pitch = w + 3;  // a pitch wider than the row, as a surface may have
    t.pixels.assign(size_t(w + 3) * size_t(h), 0xAAAA);
    return t.pixels.data();
  };
  struct Case {
    int width, height, bits;
  };
  std::vector<Case> cases;
  for (int w = 1; w <= 9; ++w) {
    for (int h : {3, -3}) cases.push_back({w, h, 24});
  }
  cases.push_back({5, 4, 8});
  cases.push_back({5, -4, 32});
  cases.push_back({7, 2, 16});
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + "x" +
                 std::to_string(c.bits));
    const int rows = c.height < 0 ? -c.height : c.height;
    const size_t rowBytes = ((size_t(c.width) * size_t(c.bits) + 31) / 32) * 4;
    std::vector<uint8_t> data(rowBytes * size_t(rows));
    for (uint8_t& b : data) b = uint8_t(rng());
    std::vector<uint32_t> palette;
    if (c.bits == 8) {
      for (int i = 0; i < 256; ++i) palette.push_back(rng() & 0xFFFFFF);
    }
    const std::string path = PathOf("direct" + std::to_string(cases.size()) + ".bmp");
    const std::vector<uint8_t> file = MakeBmp(c.width, c.height, uint16_t(c.bits), 0, palette, data);
    ASSERT_TRUE(oxtest::WriteFile(path, std::string(file.begin(), file.end())));

    plat::Image image;
    ASSERT_TRUE(plat::LoadBmp(path.c_str(), image));
    Target t;
    ASSERT_TRUE(plat::LoadBmpRgb565(path.c_str(), allocate, &t));
    EXPECT_EQ(t.calls, 1);
    ASSERT_EQ(t.width, image.width);
    ASSERT_EQ(t.height, image.height);
    for (int y = 0; y < image.height; ++y) {
      for (int x = 0; x < image.width + 3; ++x) {
        const uint16_t got = t.pixels[size_t(y) * size_t(image.width + 3) + size_t(x)];
        if (x >= image.width) {
          ASSERT_EQ(got, 0xAAAA) << "padding written at " << x << "," << y;
          continue;
        }
        const uint32_t p = image.pixels[size_t(y) * size_t(image.width) + size_t(x)];
        const uint32_t ref = ((p >> 16) & 0xFF) | (p & 0xFF00) | ((p & 0xFF) << 16);
        ASSERT_EQ(got, oxd::NativeColor(ref)) << x << "," << y;
      }
    }
    plat::FreeImage(image);
    // The same file cut short, and a missing one: no picture is asked for.
    const std::string cut = PathOf("cut.bmp");
    ASSERT_TRUE(oxtest::WriteFile(cut, std::string(file.begin(), file.end() - 1)));
    Target none;
    EXPECT_FALSE(plat::LoadBmpRgb565(cut.c_str(), allocate, &none));
    EXPECT_FALSE(plat::LoadBmpRgb565(PathOf("missing.bmp").c_str(), allocate, &none));
    EXPECT_EQ(none.calls, 0);
  }
  // An allocation that gives up fails the load.
  const std::vector<uint8_t> file = MakeBmp(2, 2, 24, 0, {}, std::vector<uint8_t>(16, 7));
  ASSERT_TRUE(oxtest::WriteFile(PathOf("refused.bmp"), std::string(file.begin(), file.end())));
  auto refuse = [](void*, int, int, int*) -> uint16_t* { return nullptr; };
  EXPECT_FALSE(plat::LoadBmpRgb565(PathOf("refused.bmp").c_str(), refuse, nullptr));
}

}  // namespace
