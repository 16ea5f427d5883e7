// The sprite table: 1024 records of bitmap surfaces, their loading from BMP
// files, and colour keys.
#include <cstring>

#include "core/app_state.h"
#include "core/error_report.h"
#include "core/paths.h"
#include "draw/draw_state.h"
#include "draw/ox_draw.h"
#include "platform/platform.h"

namespace oxd {

namespace {

constexpr int kPathSize = 260;
constexpr const char* kLoadFailed = "BMPファイルを読み込めません";
constexpr const char* kNameTooLong = "ファイル名またはリソース名が長すぎます";
constexpr const char* kTooManyObjects = "オブジェクト数が多過ぎます";

bool ValidHandle(int handle) { return handle >= 0 && handle < kSpriteCount; }

void FreeRecord(SpriteRecord& r) {
  DestroySurface(r.surface);
  r = kFreeRecord;
}

bool NameTooLong(const char* name) { return strnlen(name, kMaxNameLength + 1) > kMaxNameLength; }

void StoreName(SpriteRecord& r, const char* name) {
  size_t n = strnlen(name, kMaxNameLength);
  memcpy(r.name, name, n);
  r.name[n] = '\0';
}

// First record from handle 4 whose name is empty, or -1.
int FindFreeRecord() {
  SpriteRecord* table = Sprites();
  for (int h = kFirstLoaderHandle; h < kSpriteCount; ++h) {
    if (table[h].name[0] == '\0') return h;
  }
  return -1;
}

struct BitmapTarget {
  Surface* surface = nullptr;
};

// Makes the surface the decoder writes every pixel of, so its memory is not
// cleared first.
uint16_t* AllocateBitmap(void* context, int width, int height, int* pitch) {
  BitmapTarget& t = *static_cast<BitmapTarget*>(context);
  t.surface = CreateSurfaceUncleared(width, height);
  if (!t.surface) return nullptr;
  *pitch = t.surface->pitch;
  return t.surface->pixels;
}

// Decodes the BMP file at `path` into a new surface of the bitmap's size and
// stores that size in the record; nullptr when the file cannot be read.
Surface* LoadBitmapSurface(const char* path, SpriteRecord& r) {
  BitmapTarget target;
  if (!plat::LoadBmpRgb565(path, AllocateBitmap, &target)) {
    DestroySurface(target.surface);
    return nullptr;
  }
  r.width = static_cast<uint16_t>(target.surface->width);
  r.height = static_cast<uint16_t>(target.surface->height);
  return target.surface;
}

// Loads the named bitmap from the data directory into the record's surface
// and sets its colour key from the key defaults. Linux executables carry no
// bitmap resources, so a name that is not a readable BMP file fails.
bool LoadIntoRecord(SpriteRecord& r, const char* name) {
  char path[kPathSize];
  if (!ox::DataPath(path, sizeof path, name)) return false;
  r.surface = LoadBitmapSurface(path, r);
  if (!r.surface) return false;
  const KeyDefaults& keys = Keys();
  r.keyColor = keys.topLeftKey ? -1 : keys.defaultKeyColor;
  SetSurfaceKey(*r.surface, r.keyColor);
  return true;
}

}  // namespace

}  // namespace oxd

using namespace oxd;

int oxDraw::LoadObject(const char* name, int memoryKind) {
  static constexpr const char* kOperation = "oxDraw::LoadObject";
  // Every surface is plain memory: the memory kind changes nothing.
  (void)memoryKind;
  if (!name) name = "";
  if (NameTooLong(name)) return ox::ErrorReport(kOperation, kNameTooLong);
  int handle = FindFreeRecord();
  if (handle < 0) return ox::ErrorReport(kOperation, kTooManyObjects);
  SpriteRecord& r = Sprites()[handle];
  StoreName(r, name);
  r.fromPack = 0;
  r.reloadKind = 2;
  if (!LoadIntoRecord(r, name)) {
    // The record goes back to the table, so failed loads cost no handles.
    FreeRecord(r);
    return ox::ErrorReport(kOperation, kLoadFailed);
  }
  return handle;
}

int oxDraw::CreateObject(int width, int height, int memoryKind) {
  static constexpr const char* kOperation = "oxDraw::CreateObject";
  (void)memoryKind;
  int handle = FindFreeRecord();
  if (handle < 0) return ox::ErrorReport(kOperation, kTooManyObjects);
  SpriteRecord& r = Sprites()[handle];
  r.surface = CreateSurface(width, height);
  if (!r.surface) {
    FreeRecord(r);
    return ox::ErrorReport(kOperation, "スプライトを作成できません");
  }
  StoreName(r, "*");
  r.fromPack = 0;
  r.reloadKind = 2;
  r.width = static_cast<uint16_t>(width);
  r.height = static_cast<uint16_t>(height);
  const KeyDefaults& keys = Keys();
  r.keyColor = keys.topLeftKey ? -1 : keys.defaultKeyColor;
  SetSurfaceKey(*r.surface, r.keyColor);
  return handle;
}

int oxDraw::SwapObject(const char* name, int handle, int memoryKind) {
  static constexpr const char* kOperation = "oxDraw::SwapObject";
  (void)memoryKind;
  if (!ValidHandle(handle)) return 0;
  if (!name) name = "";
  if (NameTooLong(name)) return ox::ErrorReport(kOperation, kNameTooLong);
  // The name may be the record's own (a reload): copy it before the record
  // changes.
  char copy[kMaxNameLength + 1];
  memcpy(copy, name, strlen(name) + 1);
  SpriteRecord& r = Sprites()[handle];
  DestroySurface(r.surface);
  r.surface = nullptr;
  r.width = r.height = 0;
  StoreName(r, copy);
  r.fromPack = 0;
  r.reloadKind = 2;
  // On failure the record keeps the name, so the handle stays with its
  // owner, but holds no surface: draws of it show nothing.
  if (!LoadIntoRecord(r, copy)) return ox::ErrorReport(kOperation, kLoadFailed);
  return 1;
}

void oxDraw::ReleaseObject(int handle) {
  if (!ValidHandle(handle)) return;
  SpriteRecord& r = Sprites()[handle];
  // A record whose reload failed holds a name but no surface; it is freed
  // all the same, or its handle could never be handed out again.
  if (!r.surface && r.name[0] == '\0') return;
  DestroySurface(r.surface);
  r.surface = nullptr;
  r.name[0] = '\0';
  r.keyColor = 0;
  r.width = r.height = 0;
}

void oxDraw::SetKeyColor(int32_t colorRef) {
  Keys().defaultKeyColor = colorRef;
  Keys().topLeftKey = 0;
}

void oxDraw::SetKeyTopLeft() { Keys().topLeftKey = 1; }

void oxDraw::SetObjectKey(int handle, int32_t colorRef) {
  if (!ValidHandle(handle)) return;
  SpriteRecord& r = Sprites()[handle];
  r.keyColor = colorRef;
  if (r.surface) SetSurfaceKey(*r.surface, colorRef);
}

void oxDraw::SetObjectKeyTopLeft(int handle) { oxDraw::SetObjectKey(handle, -1); }

void oxDraw::CopyKey(int destination, int source) {
  Surface* dst = SpriteSurface(destination);
  Surface* src = SpriteSurface(source);
  if (!dst || !src || !src->hasKey) return;
  dst->key = src->key;
  dst->hasKey = true;
  CheckKeyFree(*dst);
}
