// Image packs: Convert's exact bytes, look-up by name, loaded and swapped pixels, reload after a
// surface loss, and damaged packs and names refused without an overrun.
#include "draw/image_pack.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "draw/draw_state.h"
#include "draw/ox_draw.h"
#include "platform/headless.h"
#include "tests/test_support.h"

namespace {

using oxd::Sprites;

constexpr const char* kNoPack = "oxDraw::LoadPack : パックファイル名が指定されていません";
constexpr const char* kNotFound = "oxDraw::LoadPack : BMPファイルを読み込めません";
constexpr const char* kSwapNotFound = "oxDraw::SwapPack : BMPファイルを読み込めません";
constexpr const char* kTooLong = "oxDraw::LoadPack : ファイル名またはリソース名が長すぎます";
constexpr const char* kNoFolder = "oxDraw::Convert : フォルダを開けません";
constexpr const char* kCannotWrite = "oxDraw::Convert : パックファイルに書き込めません";

// Colours with their 15-bit pack values and their RGB565 pixels.
struct Colour {
  uint32_t rgb;
  uint16_t pack;
  uint16_t native;
};
constexpr Colour kBlack = {0x000000, 0x0000, 0x0000};
constexpr Colour kNearBlack = {0x070707, 0x0001, 0x0001};  // kept non-black: blue 1
constexpr Colour kDarkGrey = {0x080808, 0x0421, 0x0841};
constexpr Colour kWhite = {0xFFFFFF, 0x7FFF, 0xFFDF};  // green's low bit stays 0
constexpr Colour kOdd = {0x7B2D43, (15 << 10) | (5 << 5) | 8, (15 << 11) | (5 << 6) | 8};
constexpr Colour kRedDark = {0x070000, 0x0001, 0x0001};
// Green a multiple of 8: the same pixel from a pack or a colour reference, so usable as a key.
constexpr Colour kKeyable = {0x804020, (16 << 10) | (8 << 5) | 4, (16 << 11) | (8 << 6) | 4};

std::string Dir(const std::string& sub) {
  std::string path = oxtest::DataDir() + sub;
  mkdir(path.c_str(), 0755);
  return path + "/";
}

void WriteImage(const std::string& path, int w, int h, const std::vector<uint32_t>& px) {
  ASSERT_TRUE(oxtest::WriteBmp24(path, w, h, px.data()));
}

std::vector<uint8_t> Bytes(const std::string& name) {
  const std::string s = oxtest::ReadFile(oxtest::DataDir() + name);
  return {s.begin(), s.end()};
}

void WriteBytes(const std::string& name, const std::vector<uint8_t>& bytes) {
  oxtest::WriteFile(oxtest::DataDir() + name, std::string(bytes.begin(), bytes.end()));
}

// One entry as the format lays it out.
std::vector<uint8_t> Entry(int w, int h, const std::string& name, const std::vector<uint16_t>& px) {
  std::vector<uint8_t> v = {uint8_t(w), uint8_t(w >> 8), uint8_t(h), uint8_t(h >> 8)};
  for (char c : name) v.push_back(uint8_t(c));
  v.push_back(0);
  for (uint16_t p : px) v.insert(v.end(), {uint8_t(p), uint8_t(p >> 8)});
  return v;
}
std::vector<uint8_t> Cat(std::initializer_list<std::vector<uint8_t>> parts) {
  std::vector<uint8_t> v;
  for (const auto& p : parts) v.insert(v.end(), p.begin(), p.end());
  return v;
}

std::vector<uint16_t> Pixels(int handle) {
  const oxd::Surface* s = oxd::SpriteSurface(handle);
  std::vector<uint16_t> out;
  for (int y = 0; s && y < s->height; ++y)
    for (int x = 0; x < s->width; ++x) out.push_back(s->pixels[y * s->pitch + x]);
  return out;
}

class ImagePack : public ::testing::Test {
 protected:
  void SetUp() override {
    oxtest::OpenScreen();
    boxes_ = plat::headless::BoxCount();
  }
  int NewBoxes() {
    int n = plat::headless::BoxCount() - boxes_;
    boxes_ = plat::headless::BoxCount();
    return n;
  }
  int boxes_ = 0;
};

TEST_F(ImagePack, ConvertWritesNameOrderedUpperCaseEntriesThatLoadBackKeepingDarkColours) {
  const std::string dir = Dir("exact");
  WriteImage(dir + "ship.bmp", 3, 2,
             {kBlack.rgb, kNearBlack.rgb, kDarkGrey.rgb, kWhite.rgb, kOdd.rgb, kRedDark.rgb});
  WriteImage(dir + "Aura.Bmp", 1, 1, {kOdd.rgb});
  WriteBytes("exact/notes.txt", {'h', 'i'});
  ASSERT_EQ(oxDraw::Convert("exact.pak", "exact", 1), 1);
  EXPECT_EQ(NewBoxes(), 0);
  const std::vector<uint8_t> expected = Cat(
      {Entry(1, 1, "AURA.BMP", {kOdd.pack}), Entry(3, 2, "SHIP.BMP",
                                                   {kBlack.pack, kNearBlack.pack, kDarkGrey.pack,
                                                    kWhite.pack, kOdd.pack, kRedDark.pack})});
  EXPECT_EQ(Bytes("exact.pak"), expected);
  // Without the start-new flag every image is appended again; with it the pack starts over.
  ASSERT_EQ(oxDraw::Convert("exact.pak", "exact/", 0), 1);
  EXPECT_EQ(Bytes("exact.pak"), Cat({expected, expected}));
  ASSERT_EQ(oxDraw::Convert("exact.pak", "exact", 1), 1);
  EXPECT_EQ(Bytes("exact.pak"), expected);
  // Loaded back by a lower-case name.
  oxDraw::SetPack("exact.pak");
  const int h = oxDraw::LoadPack("ship.bmp", 1);
  ASSERT_GE(h, 4);
  EXPECT_EQ(Pixels(h), (std::vector<uint16_t>{kBlack.native, kNearBlack.native, kDarkGrey.native,
                                              kWhite.native, kOdd.native, kRedDark.native}));
  const oxd::SpriteRecord& r = Sprites()[h];
  EXPECT_STREQ(r.name, "SHIP.BMP");
  EXPECT_TRUE(r.fromPack == 1 && r.reloadKind == 2 && r.width == 3 && r.height == 2);
  // Drawn keyed on black: only the pure black pixel lets the frame through.
  oxDraw::FillRect(0, 0, 640, 480, 0x7777);
  oxDraw::Draw(100, 100, h, 0, 0, 3, 2);
  const uint16_t* back = oxd::Scr().back->pixels;
  EXPECT_EQ((std::vector<uint16_t>{back[100 * 640 + 100], back[100 * 640 + 101]}),
            (std::vector<uint16_t>{0x7777, kNearBlack.native}));
}

TEST_F(ImagePack, ImagesFromASubdirectoryAreFoundByTheirBareName) {
  Dir("nest");
  const std::string dir = Dir("nest/inner");
  WriteImage(dir + "a.bmp", 2, 1, {kOdd.rgb, kWhite.rgb});
  ASSERT_EQ(oxDraw::Convert("nest.pak", "nest/inner", 1), 1);
  EXPECT_EQ(Bytes("nest.pak"), Entry(2, 1, "A.BMP", {kOdd.pack, kWhite.pack}));
  oxDraw::SetPack("nest.pak");
  EXPECT_GE(oxDraw::LoadPack("a.bmp", 1), 4);
  EXPECT_EQ(NewBoxes(), 0);
  EXPECT_EQ(oxDraw::LoadPack("nest/inner/a.bmp", 1), 0);
  EXPECT_STREQ(plat::headless::LastBox().text, kNotFound);
  EXPECT_EQ(oxDraw::LoadPack("INNER/A.BMP", 1), 0);
  EXPECT_EQ(NewBoxes(), 2);
  // Of two entries with one name, the first is found.
  WriteImage(dir + "a.bmp", 2, 1, {kWhite.rgb, kOdd.rgb});
  ASSERT_EQ(oxDraw::Convert("nest.pak", "nest/inner", 0), 1);
  oxDraw::SetPack("nest.pak");
  EXPECT_EQ(Pixels(oxDraw::LoadPack("a.bmp", 1)),
            (std::vector<uint16_t>{kOdd.native, kWhite.native}));
}

TEST_F(ImagePack, ConvertSkipsUnreadableFilesAndReportsAMissingFolder) {
  const std::string dir = Dir("mixed");
  WriteBytes("mixed/broken.bmp", {'B', 'M', 1, 2, 3});
  WriteImage(dir + "good.bmp", 1, 1, {kOdd.rgb});
  mkdir((dir + "folder.bmp").c_str(), 0755);
  ASSERT_EQ(oxDraw::Convert("mixed.pak", "mixed", 1), 1);
  EXPECT_EQ(NewBoxes(), 0);
  EXPECT_EQ(Bytes("mixed.pak"), Entry(1, 1, "GOOD.BMP", {kOdd.pack}));

  EXPECT_EQ(oxDraw::Convert("none.pak", "no-such-folder", 1), 0);
  EXPECT_STREQ(plat::headless::LastBox().text, kNoFolder);
  Dir("blocked.pak");  // a directory in the pack's place cannot be written
  EXPECT_EQ(oxDraw::Convert("blocked.pak", "mixed", 0), 0);
  EXPECT_STREQ(plat::headless::LastBox().text, kCannotWrite);
  // An empty folder gives an empty pack, which holds no image.
  Dir("empty");
  ASSERT_EQ(oxDraw::Convert("empty.pak", "empty", 1), 1);
  EXPECT_EQ(Bytes("empty.pak").size(), 0u);
  oxDraw::SetPack("empty.pak");
  EXPECT_EQ(oxDraw::LoadPack("good.bmp", 1), 0);
  EXPECT_STREQ(plat::headless::LastBox().text, kNotFound);
}

TEST_F(ImagePack, AWriteThatFailsHalfwayLeavesThePackAsItWas) {
  WriteImage(Dir("fullA") + "a.bmp", 1, 1, {kOdd.rgb});
  WriteImage(Dir("fullB") + "b.bmp", 200, 200, std::vector<uint32_t>(200 * 200, kWhite.rgb));
  ASSERT_EQ(oxDraw::Convert("full.pak", "fullA", 1), 1);
  const std::vector<uint8_t> before = Bytes("full.pak");
  // A 4 KiB file size limit stands in for a full disk: the 80 KB entry fails part way.
  rlimit old;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  void (*oldHandler)(int) = signal(SIGXFSZ, SIG_IGN);
  rlimit small = {4096, old.rlim_max};
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const int result = oxDraw::Convert("full.pak", "fullB", 0);
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(result, 0);
  EXPECT_STREQ(plat::headless::LastBox().text, kCannotWrite);
  EXPECT_EQ(Bytes("full.pak"), before);
  oxDraw::SetPack("full.pak");
  EXPECT_GE(oxDraw::LoadPack("a.bmp", 1), 4);
}

TEST_F(ImagePack, LoadPackReportsAMissingPackAndAMissingName) {
  for (const char* none : {"", static_cast<const char*>(nullptr), "does-not-exist.pak"}) {
    oxDraw::SetPack(none);
    EXPECT_EQ(oxDraw::LoadPack("a.bmp", 1), 0);
    EXPECT_STREQ(plat::headless::LastBox().text, kNoPack);
  }
  WriteBytes("one.pak", Entry(1, 1, "A.BMP", {kOdd.pack}));
  oxDraw::SetPack("one.pak");
  EXPECT_EQ(oxDraw::LoadPack("b.bmp", 1), 0);
  EXPECT_STREQ(plat::headless::LastBox().text, kNotFound);
  EXPECT_EQ(oxDraw::LoadPack(nullptr, 1), 0);
  EXPECT_EQ(NewBoxes(), 5);
  // Failed loads take no record.
  EXPECT_EQ(oxDraw::LoadPack("a.bmp", 1), 4);
}

TEST_F(ImagePack, NamesOf128BytesOrMoreAreRefusedAnd127AreFound) {
  const std::string name127 = std::string(123, 'L') + ".BMP";
  const std::vector<uint8_t> second = Entry(1, 1, "B.BMP", {kWhite.pack});
  WriteBytes("long.pak", Cat({Entry(1, 1, name127, {kOdd.pack}), second}));
  oxDraw::SetPack("long.pak");
  const int h = oxDraw::LoadPack(std::string(123, 'l').append(".bmp").c_str(), 1);
  ASSERT_GE(h, 4);
  EXPECT_EQ(Pixels(h), std::vector<uint16_t>{kOdd.native});
  // The record keeps 30 characters of the name.
  EXPECT_EQ(std::string(Sprites()[h].name), name127.substr(0, 30));
  for (size_t n : {128, 5000}) {
    EXPECT_EQ(oxDraw::LoadPack(std::string(n, 'L').c_str(), 1), 0);
    EXPECT_STREQ(plat::headless::LastBox().text, kTooLong);
  }
  // An entry name past 127 bytes damages the pack from there on; earlier entries are still found.
  WriteBytes("damaged.pak", Cat({Entry(1, 1, "FIRST.BMP", {kOdd.pack}),
                                 Entry(1, 1, std::string(128, 'N'), {kOdd.pack}), second}));
  oxDraw::SetPack("damaged.pak");
  EXPECT_GE(oxDraw::LoadPack("first.bmp", 1), 4);
  EXPECT_EQ(oxDraw::LoadPack("b.bmp", 1), 0);
  EXPECT_STREQ(plat::headless::LastBox().text, kNotFound);
}

TEST_F(ImagePack, TruncatedAndOversizedEntriesAreRefused) {
  std::vector<uint8_t> good = Entry(2, 2, "OK.BMP", {1, 2, 3, 4});
  // A 65535 x 65535 header the file does not hold ends the scan; nothing is allocated.
  WriteBytes("huge.pak", Cat({{0xFF, 0xFF, 0xFF, 0xFF, 'H', 0}, good}));
  oxDraw::SetPack("huge.pak");
  EXPECT_EQ(oxDraw::LoadPack("h", 1), 0);
  EXPECT_EQ(oxDraw::LoadPack("ok.bmp", 1), 0);
  // Pixels, headers and names cut short, an empty file.
  for (size_t n : {good.size() - 1, size_t(0), size_t(1), size_t(3), size_t(4), size_t(6)}) {
    WriteBytes("short.pak", std::vector<uint8_t>(good.begin(), good.begin() + n));
    oxDraw::SetPack("short.pak");
    EXPECT_EQ(oxDraw::LoadPack("ok.bmp", 1), 0) << n;
  }
  WriteBytes("zero.pak", Entry(0, 5, "Z.BMP", {}));
  oxDraw::SetPack("zero.pak");
  EXPECT_EQ(oxDraw::LoadPack("z.bmp", 1), 0);
  EXPECT_STREQ(plat::headless::LastBox().text, kNotFound);
  // Bit 15 of a pixel is not part of the colour.
  WriteBytes("bit15.pak", Entry(1, 1, "P.BMP", {uint16_t(0x8000 | kOdd.pack)}));
  oxDraw::SetPack("bit15.pak");
  EXPECT_EQ(Pixels(oxDraw::LoadPack("p.bmp", 1)), std::vector<uint16_t>{kOdd.native});
}

TEST_F(ImagePack, KeyComesFromTheDefaultsAndTheTopLeftRuleSeesThePicture) {
  WriteBytes("keys.pak", Entry(2, 1, "K.BMP", {kOdd.pack, kKeyable.pack}));
  oxDraw::SetPack("keys.pak");
  oxDraw::SetKeyTopLeft();
  const int topLeft = oxDraw::LoadPack("k.bmp", 1);
  EXPECT_EQ(Sprites()[topLeft].keyColor, -1);
  EXPECT_EQ(oxd::SpriteSurface(topLeft)->key, kOdd.native);
  oxDraw::SetKeyColor(0x00204080);  // kKeyable as a colour reference
  const int keyed = oxDraw::LoadPack("k.bmp", 1);
  EXPECT_EQ(Sprites()[keyed].keyColor, 0x00204080);
  EXPECT_EQ(oxd::SpriteSurface(keyed)->key, kKeyable.native);
  oxDraw::FillRect(0, 0, 640, 480, 0x7777);
  oxDraw::Draw(10, 10, topLeft, 0, 0, 2, 1);
  oxDraw::Draw(10, 11, keyed, 0, 0, 2, 1);
  const uint16_t* back = oxd::Scr().back->pixels + 10 * 640 + 10;
  EXPECT_EQ((std::vector<uint16_t>{back[0], back[1], back[640], back[641]}),
            (std::vector<uint16_t>{0x7777, kKeyable.native, kOdd.native, 0x7777}));
}

TEST_F(ImagePack, SwapPackReplacesThePictureOfAnExistingSprite) {
  oxtest::WriteBmp24(oxtest::DataDir() + "plain.bmp", 1, 1, &kOdd.rgb);
  const int h = oxDraw::LoadObject("plain.bmp", 1);
  ASSERT_GE(h, 4);
  WriteBytes("swap.pak", Entry(2, 2, "NEW.BMP", {kWhite.pack, 0, kDarkGrey.pack, kOdd.pack}));
  oxDraw::SetPack("swap.pak");
  EXPECT_EQ(oxDraw::SwapPack("new.bmp", h, 1), h);
  const std::vector<uint16_t> swapped = {kWhite.native, 0, kDarkGrey.native, kOdd.native};
  EXPECT_EQ(Pixels(h), swapped);
  EXPECT_STREQ(Sprites()[h].name, "NEW.BMP");
  EXPECT_TRUE(Sprites()[h].fromPack == 1 && Sprites()[h].width == 2);
  // A name the pack lacks leaves the sprite as it was.
  EXPECT_EQ(oxDraw::SwapPack("other.bmp", h, 1), 0);
  EXPECT_STREQ(plat::headless::LastBox().text, kSwapNotFound);
  EXPECT_EQ(Pixels(h), swapped);
  for (int bad : {-1, 1024}) EXPECT_EQ(oxDraw::SwapPack("new.bmp", bad, 1), 0);
}

TEST_F(ImagePack, ASurfaceLossReloadsPackSpritesByTheirFullName) {
  const std::string longName = std::string(60, 'Q') + ".BMP";
  WriteBytes("loss.pak", Cat({Entry(2, 1, longName, {kOdd.pack, kWhite.pack}),
                              Entry(1, 1, "S.BMP", {kDarkGrey.pack})}));
  oxDraw::SetPack("loss.pak");
  oxDraw::SetKeyTopLeft();
  const int a = oxDraw::LoadPack(longName.c_str(), 1);
  oxDraw::SetKeyColor(0);
  const int b = oxDraw::LoadPack("s.bmp", 1);
  ASSERT_TRUE(a >= 4 && b >= 4);
  oxd::MarkAllSurfacesLost();
  oxDraw::Restore();
  EXPECT_EQ(NewBoxes(), 0);
  EXPECT_EQ(Pixels(a), (std::vector<uint16_t>{kOdd.native, kWhite.native}));
  EXPECT_EQ(Pixels(b), std::vector<uint16_t>{kDarkGrey.native});
  EXPECT_EQ(Sprites()[a].keyColor, -1);
  EXPECT_EQ(oxd::SpriteSurface(a)->key, kOdd.native);
}

TEST(PackPixel, BlackStaysBlackAndEveryOtherColourStaysVisible) {
  // Non-black colours with all channels below 8 become blue 1; the rest keep their top 5 bits.
  for (uint32_t r = 0; r < 256; r += 3)
    for (uint32_t g = 0; g < 256; g += 5)
      for (uint32_t b = 0; b < 256; b += 7) {
        const uint32_t rgb = r << 16 | g << 8 | b;
        const uint16_t p = oxd::PackPixel(rgb | 0xAB000000u);  // the top byte is ignored
        if (rgb == 0) {
          ASSERT_EQ(p, 0);
        } else if (r < 8 && g < 8 && b < 8) {
          ASSERT_EQ(p, 1) << std::hex << rgb;
        } else {
          ASSERT_EQ(p, (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3)) << std::hex << rgb;
        }
      }
}

}  // namespace
