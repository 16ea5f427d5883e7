// The contract of a font driver, behind the functions of font_rasterizer.h.
// Chosen when the platform starts: `freetype` (fontconfig and FreeType, the
// default on both backends) or `dummy` (every glyph a box of fixed
// proportions, no font files), picked by SAMPLEGAME_FONT_DRIVER=dummy.
#pragma once

#include <cstdint>

#include "platform/font_rasterizer.h"

namespace plat::fonts {

class Driver {
 public:
  virtual ~Driver() = default;
  virtual const char* Name() const = 0;
  // The functions of font_rasterizer.h of the same meaning.
  virtual int ListFamilies(void (*visit)(void* user, const char* family, uint8_t charset),
                           void* user) = 0;
  virtual int Create(const FontSpec& request) = 0;
  virtual void Delete(int font) = 0;
  virtual bool Metrics(int font, FontMetrics& out) = 0;
  virtual bool GetGlyph(int font, uint32_t codepoint, Glyph& out) = 0;
  virtual void Shutdown() = 0;
};

// The driver chosen when the platform started (freetype before that).
Driver& CurrentDriver();

}  // namespace plat::fonts
