// assetgen: writes every picture, sound and piece of music of the game into
// a directory, or the program's icons. Usage:
//   assetgen DIR [--contact-sheet FILE.png]
//   assetgen --icons DIR
//   assetgen --png IN.BMP OUT.PNG   (screenshots for the AppStream data)
#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "tools/assets.h"
#include "tools/bmp_out.h"

int main(int argc, char** argv) {
  if (argc == 3 && !strcmp(argv[1], "--icons")) {
    const bool ok = assets::WriteIcons(argv[2]);
    cairo_debug_reset_static_data();
    FcFini();
    return ok ? 0 : 1;
  }
  if (argc == 4 && !strcmp(argv[1], "--png")) {
    const bool ok = assets::BmpToPng(argv[2], argv[3]);
    cairo_debug_reset_static_data();
    return ok ? 0 : 1;
  }
  if (argc < 2 || argv[1][0] == '-') {
    fprintf(stderr, "usage: assetgen DIR [--contact-sheet FILE.png]\n       assetgen --icons DIR\n       assetgen --png IN.BMP OUT.PNG\n");
    return 2;
  }
  const char* dir = argv[1];
  const char* sheet = nullptr;
  for (int i = 2; i < argc; ++i) {
    if (!strcmp(argv[i], "--contact-sheet") && i + 1 < argc) {
      sheet = argv[++i];
    } else {
      fprintf(stderr, "assetgen: unknown argument %s\n", argv[i]);
      return 2;
    }
  }
  // A failed run must not leave the mark of an earlier complete one.
  remove((std::string(dir) + "/OXDATA.TXT").c_str());
  bool ok = assets::WriteImages(dir);
  ok = assets::WriteSounds(dir) && ok;
  ok = assets::WriteMusic(dir) && ok;
  if (sheet) ok = assets::WriteContactSheet(dir, sheet) && ok;
  // Only a complete set is marked as the program's data.
  if (ok) ok = assets::WriteDataMark(dir);
  // Drop Cairo's and fontconfig's font caches: the sanitizer build runs this
  // tool with leak checking on.
  cairo_debug_reset_static_data();
  FcFini();
  if (!ok) {
    fprintf(stderr, "assetgen: failed\n");
    return 1;
  }
  return 0;
}
