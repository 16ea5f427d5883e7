// The FreeType font driver: fontconfig finds the faces, FreeType turns
// glyph outlines into one-bit masks.
//
// Heights follow the platform's convention: a positive height is the
// character cell (ascent + descent from the face's OS/2 Windows metrics), a
// negative one the em. Weights the face lacks are synthesised by smearing
// the mask one pixel to the right (one more pixel of advance), italics by
// shearing the outline. Rotated fonts turn the outline and the advance.
#include "platform/drivers.h"
#include "platform/font_driver.h"
#include "platform/start_trace.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numbers>
#include <string>
#include <vector>

namespace plat::fonts {

namespace {

constexpr int kFontSlots = 16;
constexpr int kFaceNameSize = 128;
constexpr int kDefaultHeight = 16;
constexpr int kCacheEntries = 4096;  // power of two
constexpr size_t kArenaBytes = size_t(4) << 20;
constexpr FT_Fixed kItalicShear = 0x0366A;  // about 12 degrees
constexpr int kBoldThreshold = 600;

struct Slot {
  bool live;
  int refs;
  uint32_t serial;  // names this font in the glyph cache; never reused
  uint64_t lastUse;
  // The description it was made from.
  char face[kFaceNameSize];
  int height, escapement, weight;
  bool italic;
  uint8_t charset;
  // The face and how glyphs are made from it.
  FT_Face ftFace;
  bool emboldened;
  bool transformed;
  FT_Matrix matrix;
  FontMetrics metrics;
};

struct CacheEntry {
  uint32_t serial;  // 0: empty
  uint32_t codepoint;
  uint32_t offset;  // into the arena
  uint16_t width, height;
  int16_t left, top;
  int32_t advanceX, advanceY;
  int32_t advance;
};

struct FontState {
  FT_Library library;
  bool fontconfigReady;
  Slot slots[kFontSlots];
  uint32_t nextSerial;
  uint64_t useClock;
  CacheEntry cache[kCacheEntries];
  int cacheUsed;
  size_t arenaUsed;
};

constinit FontState g_fonts{};
uint8_t g_arena[kArenaBytes];
// Where a glyph is rendered before it is stored (its size is known only
// then); a glyph larger than this draws nothing but keeps its advance.
uint8_t g_scratch[(kMaxFontHeight * 2) * (kMaxFontHeight * 2)];

// fontconfig keeps some of its memory reachable only through offsets,
// which leak checkers report; it is finalised by ShutdownFonts, or at exit
// when the fonts were never shut down.
void FinishFontconfig() {
  if (g_fonts.fontconfigReady) FcFini();
  g_fonts.fontconfigReady = false;
}

bool FontconfigReady() {
  static bool exitHook = false;
  if (!g_fonts.fontconfigReady) {
    g_fonts.fontconfigReady = FcInit() == FcTrue;
    if (g_fonts.fontconfigReady && !exitHook) exitHook = std::atexit(FinishFontconfig) == 0;
  }
  return g_fonts.fontconfigReady;
}

bool FreeTypeReady() {
  if (!g_fonts.library && FT_Init_FreeType(&g_fonts.library) != 0) g_fonts.library = nullptr;
  return g_fonts.library != nullptr;
}

void FlushCache() {
  for (CacheEntry& e : g_fonts.cache) e.serial = 0;
  g_fonts.cacheUsed = 0;
  g_fonts.arenaUsed = 0;
}

void CloseSlot(Slot& s) {
  if (s.ftFace) FT_Done_Face(s.ftFace);
  s = Slot{};
}

// ---------------------------------------------------------------- finding faces

struct Alias {
  const char* name;
  const char* family;
  const char* generic;
};
constexpr Alias kAliases[] = {
    {kStandardMincho, "IPAMincho", "serif"},
    {kStandardGothic, "IPAGothic", "sans-serif"},
};

struct Match {
  char file[4096];
  int index = 0;
  int weight = FC_WEIGHT_REGULAR;
  int slant = FC_SLANT_ROMAN;
  bool embolden = false;   // fontconfig asks for a synthetic bold
  bool hasMatrix = false;  // fontconfig's outline transform (synthetic italic)
  FcMatrix matrix{};
};

bool FindFace(const FontSpec& request, Match& out) {
  if (!FontconfigReady()) return false;
  FcPattern* pattern = FcPatternCreate();
  if (!pattern) return false;
  const char* face = request.face ? request.face : "";
  const Alias* alias = nullptr;
  for (const Alias& a : kAliases) {
    if (std::strcmp(face, a.name) == 0) alias = &a;
  }
  if (alias) {
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(alias->family));
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(alias->generic));
  } else if (face[0]) {
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(face));
  }
  if (request.charset == kJapaneseCharset || alias) {
    FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
  }
  const int weight = request.weight > 0 ? std::clamp(request.weight, 1, 1000) : 400;
  FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(weight));
  FcPatternAddInteger(pattern, FC_SLANT, request.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (!match) return false;
  FcChar8* file = nullptr;
  bool ok = FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file;
  if (ok) {
    const int n =
        std::snprintf(out.file, sizeof out.file, "%s", reinterpret_cast<const char*>(file));
    ok = n > 0 && size_t(n) < sizeof out.file;
    if (FcPatternGetInteger(match, FC_INDEX, 0, &out.index) != FcResultMatch) out.index = 0;
    if (FcPatternGetInteger(match, FC_WEIGHT, 0, &out.weight) != FcResultMatch) {
      out.weight = FC_WEIGHT_REGULAR;
    }
    if (FcPatternGetInteger(match, FC_SLANT, 0, &out.slant) != FcResultMatch) {
      out.slant = FC_SLANT_ROMAN;
    }
    FcBool embolden = FcFalse;
    out.embolden = FcPatternGetBool(match, FC_EMBOLDEN, 0, &embolden) == FcResultMatch && embolden;
    FcMatrix* matrix = nullptr;
    if (FcPatternGetMatrix(match, FC_MATRIX, 0, &matrix) == FcResultMatch && matrix) {
      out.hasMatrix = true;
      out.matrix = *matrix;
    }
  }
  FcPatternDestroy(match);
  return ok;
}

// ---------------------------------------------------------------- sizing

int Round(double v) { return int(std::lround(v)); }

// Sets the face's size for the requested height and fills the vertical
// metrics. Scalable faces are sized from their Windows ascent and descent;
// bitmap faces take the strike nearest in height.
bool SizeFace(FT_Face face, int height, FontMetrics& m) {
  if (height == 0) height = kDefaultHeight;
  height = std::clamp(height, -kMaxFontHeight, kMaxFontHeight);
  if (FT_IS_SCALABLE(face)) {
    double up = face->ascender, down = -face->descender;
    if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2))) {
      if (os2->usWinAscent + os2->usWinDescent > 0) {
        up = os2->usWinAscent;
        down = os2->usWinDescent;
      }
    }
    if (up + down <= 0) up = face->units_per_EM, down = 0;
    const double unitsPerEm = face->units_per_EM ? face->units_per_EM : 2048;
    double em;
    if (height > 0) {
      em = height * unitsPerEm / (up + down);
      m.height = height;
      m.ascent = Round(height * up / (up + down));
    } else {
      em = -height;
      m.ascent = Round(em * up / unitsPerEm);
      m.height = m.ascent + Round(em * down / unitsPerEm);
    }
    if (FT_Set_Char_Size(face, 0, FT_F26Dot6(std::lround(em * 64)), 72, 72) != 0) return false;
    const double scale = em / unitsPerEm;
    m.underlinePosition = std::max(1, Round(-face->underline_position * scale));
    m.underlineThickness = std::max(1, Round(face->underline_thickness * scale));
  } else {
    if (face->num_fixed_sizes <= 0) return false;
    const int want = height < 0 ? -height : height;
    int best = 0;
    for (int i = 1; i < face->num_fixed_sizes; ++i) {
      if (std::abs(face->available_sizes[i].height - want) <
          std::abs(face->available_sizes[best].height - want)) {
        best = i;
      }
    }
    if (FT_Select_Size(face, best) != 0) return false;
    m.ascent = int(face->size->metrics.ascender >> 6);
    m.height = m.ascent + int((-face->size->metrics.descender) >> 6);
    m.underlinePosition = 1;
    m.underlineThickness = 1;
  }
  m.descent = m.height - m.ascent;
  return true;
}

// ---------------------------------------------------------------- glyphs

uint32_t Hash(uint32_t serial, uint32_t codepoint) {
  uint32_t h = serial * 0x9E3779B1u ^ codepoint * 0x85EBCA77u;
  h ^= h >> 15;
  return h & (kCacheEntries - 1);
}

// Renders one glyph into `out` (a mask of w x h bytes at `pixels`).
bool Render(Slot& s, uint32_t codepoint, CacheEntry& e, uint8_t* pixels, size_t capacity) {
  FT_Face face = s.ftFace;
  FT_Set_Transform(face, s.transformed ? &s.matrix : nullptr, nullptr);
  const FT_UInt index = FT_Get_Char_Index(face, codepoint);
  if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT | FT_LOAD_TARGET_MONO) != 0) return false;
  FT_GlyphSlot g = face->glyph;
  if (g->format != FT_GLYPH_FORMAT_BITMAP && FT_Render_Glyph(g, FT_RENDER_MODE_MONO) != 0) {
    return false;
  }
  const FT_Bitmap& bm = g->bitmap;
  const int extra = s.emboldened ? 1 : 0;
  const int w = bm.width ? int(bm.width) + extra : 0;
  const int h = int(bm.rows);
  e.width = uint16_t(w);
  e.height = uint16_t(h);
  e.left = int16_t(g->bitmap_left);
  e.top = int16_t(-g->bitmap_top);
  e.advanceX = int32_t(g->advance.x);
  e.advanceY = int32_t(-g->advance.y);
  e.advance = int32_t((g->metrics.horiAdvance + 32) >> 6);
  if (s.emboldened) {
    // One more pixel of advance along the baseline.
    e.advanceX += int32_t(std::lround(64 * s.metrics.dirX));
    e.advanceY += int32_t(std::lround(64 * s.metrics.dirY));
    e.advance += 1;
  }
  if (size_t(w) * size_t(h) > capacity) return false;
  for (int y = 0; y < h; ++y) {
    const unsigned char* row = bm.buffer + ptrdiff_t(y) * bm.pitch;
    uint8_t* dst = pixels + size_t(y) * size_t(w);
    std::memset(dst, 0, size_t(w));
    for (int x = 0; x < int(bm.width); ++x) {
      bool on;
      if (bm.pixel_mode == FT_PIXEL_MODE_MONO) {
        on = (row[x >> 3] >> (7 - (x & 7))) & 1;
      } else if (bm.pixel_mode == FT_PIXEL_MODE_GRAY) {
        on = row[x] >= 128;
      } else {
        on = false;
      }
      if (on) {
        dst[x] = 255;
        if (extra) dst[x + 1] = 255;
      }
    }
  }
  return true;
}

void ToGlyph(const CacheEntry& e, const uint8_t* mask, Glyph& out) {
  out.mask = e.width && e.height ? mask : nullptr;
  out.width = e.width;
  out.height = e.height;
  out.pitch = e.width;
  out.left = e.left;
  out.top = e.top;
  out.advanceX = e.advanceX;
  out.advanceY = e.advanceY;
  out.advance = e.advance;
}

bool Same(const Slot& s, const FontSpec& request, const char* face) {
  return s.live && std::strcmp(s.face, face) == 0 && s.height == request.height &&
         s.escapement == request.escapement && s.weight == request.weight && s.italic == request.italic &&
         s.charset == request.charset;
}

Slot* SlotOf(int font) {
  if (font < 0 || font >= kFontSlots || !g_fonts.slots[font].live) return nullptr;
  return &g_fonts.slots[font];
}

}  // namespace

namespace {

int ListFamilies(void (*visit)(void* user, const char* family, uint8_t charset), void* user) {
  if (!FontconfigReady()) return 0;
  FcPattern* pattern = FcPatternCreate();
  FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_LANG,
#ifdef FC_SYMBOL
                                          FC_SYMBOL,
#endif
                                          nullptr);
  FcFontSet* set = pattern && objects ? FcFontList(nullptr, pattern, objects) : nullptr;
  if (objects) FcObjectSetDestroy(objects);
  if (pattern) FcPatternDestroy(pattern);
  if (!set) return 0;
  struct Family {
    std::string name;
    uint8_t charset;
  };
  std::vector<Family> families;
  for (int i = 0; i < set->nfont; ++i) {
    FcPattern* font = set->fonts[i];
    FcChar8* name = nullptr;
    if (FcPatternGetString(font, FC_FAMILY, 0, &name) != FcResultMatch || !name) continue;
    uint8_t charset = kAnsiCharset;
    FcLangSet* langs = nullptr;
    FcBool symbol = FcFalse;
#ifdef FC_SYMBOL
    if (FcPatternGetBool(font, FC_SYMBOL, 0, &symbol) != FcResultMatch) symbol = FcFalse;
#endif
    if (FcPatternGetLangSet(font, FC_LANG, 0, &langs) == FcResultMatch && langs &&
        FcLangSetHasLang(langs, reinterpret_cast<const FcChar8*>("ja")) == FcLangEqual) {
      charset = kJapaneseCharset;
    } else if (symbol) {
      charset = kSymbolCharset;
    }
    const std::string family(reinterpret_cast<const char*>(name));
    auto it = std::find_if(families.begin(), families.end(),
                           [&](const Family& f) { return f.name == family; });
    if (it == families.end()) {
      families.push_back({family, charset});
    } else if (charset == kJapaneseCharset) {
      it->charset = charset;  // one style covering Japanese is enough
    }
  }
  FcFontSetDestroy(set);
  std::sort(families.begin(), families.end(),
            [](const Family& a, const Family& b) { return a.name < b.name; });
  for (const Family& f : families) visit(user, f.name.c_str(), f.charset);
  return int(families.size());
}

}  // namespace

namespace {

int FtListFontFamilies(void (*visit)(void* user, const char* family, uint8_t charset), void* user) {
  // The list is gathered on the heap at start-up; running out of memory
  // lists no fonts rather than leaving the library by an exception.
  try {
    const int count = ListFamilies(visit, user);
    start_trace::Mark("font list ready");
    return count;
  } catch (...) {
    return 0;
  }
}

int FtCreateFont(const FontSpec& request) {
  char face[kFaceNameSize];
  std::snprintf(face, sizeof face, "%s", request.face ? request.face : "");
  ++g_fonts.useClock;
  for (int i = 0; i < kFontSlots; ++i) {
    Slot& s = g_fonts.slots[i];
    if (Same(s, request, face)) {
      ++s.refs;
      s.lastUse = g_fonts.useClock;
      return i;
    }
  }
  // A free slot, else the font unused for longest that nobody holds.
  int chosen = -1;
  for (int i = 0; i < kFontSlots && chosen < 0; ++i) {
    if (!g_fonts.slots[i].live) chosen = i;
  }
  for (int i = 0; i < kFontSlots && chosen < 0; ++i) {
    const Slot& s = g_fonts.slots[i];
    if (s.refs == 0) {
      int oldest = i;
      for (int j = i + 1; j < kFontSlots; ++j) {
        const Slot& t = g_fonts.slots[j];
        if (t.refs == 0 && t.lastUse < g_fonts.slots[oldest].lastUse) oldest = j;
      }
      chosen = oldest;
    }
  }
  if (chosen < 0 || !FreeTypeReady()) return -1;
  Match match{};
  if (!FindFace(request, match)) return -1;
  Slot& s = g_fonts.slots[chosen];
  CloseSlot(s);
  if (FT_New_Face(g_fonts.library, match.file, match.index, &s.ftFace) != 0) {
    s.ftFace = nullptr;
    return -1;
  }
  FontMetrics m{};
  if (!SizeFace(s.ftFace, request.height, m)) {
    CloseSlot(s);
    return -1;
  }
  const double angle = request.escapement / 10.0 * std::numbers::pi / 180.0;
  const double c = std::cos(angle), sn = std::sin(angle);
  m.dirX = c;
  m.dirY = -sn;
  // The face's own transform (fontconfig's synthetic italic), else a shear
  // when an italic was asked for and the face is upright.
  double xx = 1, xy = 0, yx = 0, yy = 1;
  if (match.hasMatrix) {
    xx = match.matrix.xx, xy = match.matrix.xy, yx = match.matrix.yx, yy = match.matrix.yy;
  } else if (request.italic && match.slant == FC_SLANT_ROMAN) {
    xy = double(kItalicShear) / 65536.0;
  }
  const bool identity = xx == 1 && xy == 0 && yx == 0 && yy == 1;
  s.transformed = request.escapement % 3600 != 0 || !identity;
  if (s.transformed) {
    // Rotation times the face's transform, in FreeType's y-up axes.
    auto fixed = [](double v) { return FT_Fixed(std::lround(v * 65536.0)); };
    s.matrix.xx = fixed(c * xx - sn * yx);
    s.matrix.xy = fixed(c * xy - sn * yy);
    s.matrix.yx = fixed(sn * xx + c * yx);
    s.matrix.yy = fixed(sn * xy + c * yy);
  }
  s.emboldened =
      match.embolden || (request.weight >= kBoldThreshold && match.weight < FC_WEIGHT_DEMIBOLD);
  s.metrics = m;
  std::memcpy(s.face, face, sizeof face);
  s.height = request.height;
  s.escapement = request.escapement;
  s.weight = request.weight;
  s.italic = request.italic;
  s.charset = request.charset;
  s.live = true;
  s.refs = 1;
  s.serial = ++g_fonts.nextSerial;
  s.lastUse = g_fonts.useClock;
  return chosen;
}

void FtDeleteFont(int font) {
  if (Slot* s = SlotOf(font); s && s->refs > 0) --s->refs;
}

bool FtGetFontMetrics(int font, FontMetrics& out) {
  const Slot* s = SlotOf(font);
  if (!s) return false;
  out = s->metrics;
  return true;
}

bool FtGetGlyph(int font, uint32_t codepoint, Glyph& out) {
  Slot* s = SlotOf(font);
  if (!s) return false;
  uint32_t at = Hash(s->serial, codepoint);
  for (;;) {
    const CacheEntry& e = g_fonts.cache[at];
    if (e.serial == 0) break;
    if (e.serial == s->serial && e.codepoint == codepoint) {
      ToGlyph(e, g_arena + e.offset, out);
      return true;
    }
    at = (at + 1) & (kCacheEntries - 1);
  }
  CacheEntry fresh{};
  // Render into the scratch first: the size is known only afterwards.
  if (!Render(*s, codepoint, fresh, g_scratch, sizeof g_scratch)) {
    fresh.width = fresh.height = 0;
    ToGlyph(fresh, nullptr, out);
    return true;  // nothing to draw, but the advance holds
  }
  const size_t bytes = size_t(fresh.width) * fresh.height;
  if (g_fonts.cacheUsed >= kCacheEntries * 3 / 4 || g_fonts.arenaUsed + bytes > kArenaBytes) {
    FlushCache();
    at = Hash(s->serial, codepoint);
  }
  if (bytes > kArenaBytes) {
    ToGlyph(fresh, g_scratch, out);
    return true;
  }
  while (g_fonts.cache[at].serial != 0) at = (at + 1) & (kCacheEntries - 1);
  fresh.serial = s->serial;
  fresh.codepoint = codepoint;
  fresh.offset = uint32_t(g_fonts.arenaUsed);
  std::memcpy(g_arena + g_fonts.arenaUsed, g_scratch, bytes);
  g_fonts.arenaUsed += bytes;
  g_fonts.cache[at] = fresh;
  ++g_fonts.cacheUsed;
  ToGlyph(fresh, g_arena + fresh.offset, out);
  return true;
}

void FtShutdownFonts() {
  for (Slot& s : g_fonts.slots) CloseSlot(s);
  FlushCache();
  if (g_fonts.library) FT_Done_FreeType(g_fonts.library);
  g_fonts.library = nullptr;
  FinishFontconfig();
}

class FreeTypeDriver final : public Driver {
 public:
  const char* Name() const override { return "freetype"; }
  int ListFamilies(void (*visit)(void*, const char*, uint8_t), void* user) override {
    return FtListFontFamilies(visit, user);
  }
  int Create(const FontSpec& request) override { return FtCreateFont(request); }
  void Delete(int font) override { FtDeleteFont(font); }
  bool Metrics(int font, FontMetrics& out) override { return FtGetFontMetrics(font, out); }
  bool GetGlyph(int font, uint32_t codepoint, Glyph& out) override {
    return FtGetGlyph(font, codepoint, out);
  }
  void Shutdown() override { FtShutdownFonts(); }
};

}  // namespace

Driver& FreeTypeDriverInstance() {
  static FreeTypeDriver driver;
  return driver;
}

}  // namespace plat::fonts
