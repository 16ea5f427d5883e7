// The font functions, forwarded to the font driver chosen at platform start.
#include "platform/font_rasterizer.h"

#include "platform/font_driver.h"

namespace plat {

int ListFontFamilies(void (*visit)(void* user, const char* family, uint8_t charset), void* user) {
  return fonts::CurrentDriver().ListFamilies(visit, user);
}

int CreateFont(const FontSpec& request) { return fonts::CurrentDriver().Create(request); }

void DeleteFont(int font) { fonts::CurrentDriver().Delete(font); }

bool GetFontMetrics(int font, FontMetrics& out) {
  return fonts::CurrentDriver().Metrics(font, out);
}

bool GetGlyph(int font, uint32_t codepoint, Glyph& out) {
  return fonts::CurrentDriver().GetGlyph(font, codepoint, out);
}

void ShutdownFonts() { fonts::CurrentDriver().Shutdown(); }

}  // namespace plat
