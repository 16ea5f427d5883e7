// Image packs: building a pack from a directory of BMP files, finding an
// image in the current pack by name and turning it into a sprite, and the
// reload of pack sprites after a surface loss.
#include "draw/image_pack.h"

#include <dirent.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "core/app_state.h"
#include "core/error_report.h"
#include "core/paths.h"
#include "core/text_copy.h"
#include "draw/draw_state.h"
#include "draw/ox_draw.h"
#include "platform/platform.h"

namespace oxd {

namespace {

constexpr const char* kNoPack = "パックファイル名が指定されていません";
constexpr const char* kLoadFailed = "BMPファイルを読み込めません";
constexpr const char* kNameTooLong = "ファイル名またはリソース名が長すぎます";
constexpr const char* kNoFolder = "フォルダを開けません";
constexpr const char* kCannotWrite = "パックファイルに書き込めません";

constexpr int kEntryHeader = 4;     // width and height, 16 bits each
constexpr int kChunkPixels = 2048;  // pixels converted per read or write

// The path SetPack chose; empty until then.
constinit char g_packPath[PATH_MAX] = {};
// The full upper-case name each pack sprite was loaded under. The sprite
// record keeps only 30 characters; a reload needs all of them.
constinit char g_packNames[kSpriteCount][kPackNameMax + 1] = {};

int64_t FileSize(FILE* f) {
  if (fseeko(f, 0, SEEK_END) != 0) return -1;
  int64_t size = ftello(f);
  if (fseeko(f, 0, SEEK_SET) != 0) return -1;
  return size;
}

struct Positions {
  int red, green, blue;
};

// The display's channel positions, or RGB565's before the screen is open.
Positions ChannelPositions() {
  const PixelFormat& f = Format();
  if (f.redMask == 0 || f.greenMask == 0 || f.blueMask == 0) return {11, 6, 0};
  return {f.redPosition, f.greenPosition, f.bluePosition};
}

// Display pixel of a pack pixel: each 5-bit channel at its position; bit
// 15 is not part of the colour.
uint16_t NativePixel(uint16_t value, const Positions& p) {
  uint32_t r = (value >> 10) & 31, g = (value >> 5) & 31, b = value & 31;
  return static_cast<uint16_t>((r << p.red) | (g << p.green) | (b << p.blue));
}

void Put16(uint8_t* at, uint16_t v) {
  at[0] = static_cast<uint8_t>(v);
  at[1] = static_cast<uint8_t>(v >> 8);
}

// Appends one entry. On a failed write the file is cut back to its length
// before the entry, so a full disk never leaves a damaged pack behind.
bool AppendEntry(FILE* pack, const char* name, const plat::Image& image) {
  if (fseeko(pack, 0, SEEK_END) != 0) return false;
  const int64_t start = ftello(pack);
  if (start < 0) return false;
  uint8_t header[kEntryHeader];
  Put16(header, static_cast<uint16_t>(image.width));
  Put16(header + 2, static_cast<uint16_t>(image.height));
  bool ok = fwrite(header, 1, sizeof header, pack) == sizeof header &&
            fwrite(name, 1, strlen(name) + 1, pack) == strlen(name) + 1;
  uint8_t chunk[kChunkPixels * 2];
  const size_t count = size_t(image.width) * size_t(image.height);
  for (size_t i = 0; ok && i < count;) {
    size_t n = 0;
    for (; n < kChunkPixels && i < count; ++n, ++i)
      Put16(chunk + 2 * n, PackPixel(image.pixels[i]));
    ok = fwrite(chunk, 2, n, pack) == n;
  }
  if (ok) ok = fflush(pack) == 0;
  if (!ok) {
    // Best effort: if even the cut fails, the caller's report still tells.
    fflush(pack);
    const bool cut = ftruncate(fileno(pack), start) == 0;
    (void)cut;
  }
  return ok;
}

// scandir filter: every entry whose name ends in ".bmp", in any case.
int IsBmpName(const dirent* e) {
  size_t n = strlen(e->d_name);
  return n >= 4 && strcasecmp(e->d_name + n - 4, ".bmp") == 0;
}

// Byte order, independent of the locale, so packs come out the same on
// every machine.
int ByName(const dirent** a, const dirent** b) { return strcmp((*a)->d_name, (*b)->d_name); }

// Finds `name` in the current pack and decodes it into a new surface of
// the entry's size. Reports under `operation` and returns nullptr on
// failure; `upper` receives the name looked up.
Surface* DecodeFromPack(const char* operation, const char* name, char (&upper)[kPackNameMax + 1]) {
  FILE* pack = g_packPath[0] ? fopen(g_packPath, "rb") : nullptr;
  if (!pack) {
    ox::ErrorReport(operation, kNoPack);
    return nullptr;
  }
  if (!UpperName(upper, sizeof upper, name ? name : "")) {
    fclose(pack);
    ox::ErrorReport(operation, kNameTooLong);
    return nullptr;
  }
  Surface* surface = nullptr;
  PackEntry entry;
  if (FindPackEntry(pack, upper, entry)) {
    surface = CreateSurface(entry.width, entry.height);
    if (surface && !ReadPackPixels(pack, entry, *surface)) {
      DestroySurface(surface);
      surface = nullptr;
    }
  }
  fclose(pack);
  if (!surface) ox::ErrorReport(operation, kLoadFailed);
  return surface;
}

// Gives record `handle` the decoded surface, the key from the key
// defaults (matched on the picture itself, so the top-left rule sees its
// pixel) and the pack bookkeeping.
void AdoptSurface(int handle, Surface* surface, const char* upper) {
  SpriteRecord& r = Sprites()[handle];
  DestroySurface(r.surface);
  r.surface = surface;
  ox::CopyText(r.name, kMaxNameLength + 1, upper);
  ox::CopyText(g_packNames[handle], sizeof g_packNames[handle], upper);
  r.fromPack = 1;
  r.reloadKind = 2;
  r.width = static_cast<uint16_t>(surface->width);
  r.height = static_cast<uint16_t>(surface->height);
  const KeyDefaults& keys = Keys();
  r.keyColor = keys.topLeftKey ? -1 : keys.defaultKeyColor;
  SetSurfaceKey(*surface, r.keyColor);
}

}  // namespace

bool UpperName(char* out, size_t size, const char* name) {
  if (size == 0) return false;
  size_t n = strnlen(name, size);
  if (n >= size) return false;
  for (size_t i = 0; i < n; ++i) {
    char c = name[i];
    out[i] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  }
  out[n] = '\0';
  return true;
}

uint16_t PackPixel(uint32_t rgb) {
  if ((rgb & 0xFFFFFF) == 0) return 0;
  uint32_t r = ((rgb >> 16) & 0xFF) >> 3, g = ((rgb >> 8) & 0xFF) >> 3, b = (rgb & 0xFF) >> 3;
  if (r == 0 && g == 0 && b == 0) b = 1;
  return static_cast<uint16_t>((r << 10) | (g << 5) | b);
}

bool FindPackEntry(FILE* pack, const char* name, PackEntry& out) {
  const int64_t size = FileSize(pack);
  if (size < 0) return false;
  for (;;) {
    uint8_t header[kEntryHeader];
    if (fread(header, 1, sizeof header, pack) != sizeof header) return false;
    out.width = static_cast<uint16_t>(header[0] | (header[1] << 8));
    out.height = static_cast<uint16_t>(header[2] | (header[3] << 8));
    int n = 0;
    for (;;) {
      int c = getc(pack);
      if (c == EOF) return false;
      if (n > kPackNameMax) return false;  // no NUL within 128 bytes: damaged
      out.name[n++] = static_cast<char>(c);
      if (c == 0) break;
    }
    out.pixelOffset = ftello(pack);
    const int64_t bytes = 2 * int64_t(out.width) * int64_t(out.height);
    if (out.pixelOffset < 0 || bytes > size - out.pixelOffset) return false;
    if (strcmp(out.name, name) == 0) return true;
    if (fseeko(pack, out.pixelOffset + bytes, SEEK_SET) != 0) return false;
  }
}

bool ReadPackPixels(FILE* pack, const PackEntry& entry, Surface& surface) {
  if (surface.width != entry.width || surface.height != entry.height || !surface.pixels)
    return false;
  surface.keyFree = false;
  if (fseeko(pack, entry.pixelOffset, SEEK_SET) != 0) return false;
  const Positions p = ChannelPositions();
  uint8_t chunk[kChunkPixels * 2];
  for (int y = 0; y < entry.height; ++y) {
    uint16_t* row = surface.pixels + size_t(y) * size_t(surface.pitch);
    for (int x = 0; x < entry.width;) {
      const size_t want = std::min<size_t>(kChunkPixels, size_t(entry.width - x));
      if (fread(chunk, 2, want, pack) != want) return false;
      for (size_t i = 0; i < want; ++i, ++x) {
        row[x] = NativePixel(static_cast<uint16_t>(chunk[2 * i] | (chunk[2 * i + 1] << 8)), p);
      }
    }
  }
  return true;
}

int ReloadFromPack(int handle) {
  if (handle < kFirstLoaderHandle || handle >= kSpriteCount) return 0;
  // SwapPack rewrites the stored name; look it up from a copy.
  char name[kPackNameMax + 1];
  const char* stored = g_packNames[handle][0] ? g_packNames[handle] : Sprites()[handle].name;
  ox::CopyText(name, sizeof name, stored);
  return oxDraw::SwapPack(name, handle, Sprites()[handle].reloadKind);
}

}  // namespace oxd

using namespace oxd;

void oxDraw::SetPack(const char* packName) {
  // An empty name, or one that does not fit, leaves no pack set: LoadPack
  // then reports that no pack was named.
  if (!packName || packName[0] == '\0' || !ox::DataPath(g_packPath, sizeof g_packPath, packName)) {
    g_packPath[0] = '\0';
  }
}

int oxDraw::LoadPack(const char* name, int memoryKind) {
  static constexpr const char* kOperation = "oxDraw::LoadPack";
  char upper[kPackNameMax + 1];
  Surface* surface = DecodeFromPack(kOperation, name, upper);
  if (!surface) return 0;
  int handle = oxDraw::CreateObject(surface->width, surface->height, memoryKind);
  if (handle == 0) {
    DestroySurface(surface);
    return 0;
  }
  // Every surface is plain memory: the decoded surface becomes the
  // sprite's own instead of being copied across.
  AdoptSurface(handle, surface, upper);
  return handle;
}

int oxDraw::SwapPack(const char* name, int handle, int memoryKind) {
  static constexpr const char* kOperation = "oxDraw::SwapPack";
  (void)memoryKind;
  if (handle < 0 || handle >= kSpriteCount) return 0;
  char upper[kPackNameMax + 1];
  Surface* surface = DecodeFromPack(kOperation, name, upper);
  // A failed look-up leaves the sprite as it was.
  if (!surface) return 0;
  AdoptSurface(handle, surface, upper);
  return handle;
}

int oxDraw::Convert(const char* packName, const char* subdirectory, int startNew) {
  static constexpr const char* kOperation = "oxDraw::Convert";
  // Colours are read from the BMP files at full precision, whatever the
  // display depth, so the pack is built on a 16-bit display too.
  if (!packName) packName = "";
  if (!subdirectory) subdirectory = "";

  char packPath[PATH_MAX];
  if (packName[0] == '\0' || !ox::DataPath(packPath, sizeof packPath, packName))
    return ox::ErrorReport(kOperation, kCannotWrite);

  char dir[PATH_MAX];
  if (!ox::DataPath(dir, sizeof dir, subdirectory)) return ox::ErrorReport(kOperation, kNoFolder);
  size_t dirLength = strlen(dir);
  if (dirLength == 0 || dir[dirLength - 1] != '/') {
    if (dirLength + 1 >= sizeof dir) return ox::ErrorReport(kOperation, kNoFolder);
    dir[dirLength++] = '/';
    dir[dirLength] = '\0';
  }

  dirent** list = nullptr;
  const int count = scandir(dir, &list, IsBmpName, ByName);
  if (count < 0) return ox::ErrorReport(kOperation, kNoFolder);

  // A new pack starts empty; it exists even when the folder holds no image.
  bool ok = true;
  if (startNew) {
    FILE* fresh = fopen(packPath, "wb");
    ok = fresh && fclose(fresh) == 0;
  }

  for (int i = 0; ok && i < count; ++i) {
    const char* file = list[i]->d_name;
    char path[PATH_MAX];
    char upper[kPackNameMax + 1];
    // A name the format cannot hold, or a file that is no readable bitmap,
    // is left out of the pack.
    if (!UpperName(upper, sizeof upper, file)) continue;
    if (dirLength + strlen(file) >= sizeof path) continue;
    memcpy(path, dir, dirLength);
    memcpy(path + dirLength, file, strlen(file) + 1);
    plat::Image image;
    if (!plat::LoadBmp(path, image)) continue;
    FILE* pack = fopen(packPath, "ab");
    ok = pack && AppendEntry(pack, upper, image);
    if (pack && fclose(pack) != 0) ok = false;
    plat::FreeImage(image);
  }
  for (int i = 0; i < count; ++i) free(list[i]);
  free(list);
  if (!ok) return ox::ErrorReport(kOperation, kCannotWrite);
  return 1;
}
