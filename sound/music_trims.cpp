// The per-soundfont level trims of the game's pieces (see music_trims.h).
#include "sound/music_trims.h"

#include <strings.h>

#include <cstring>

namespace oxs {

namespace {

struct PieceTrim {
  const char* piece;
  double db;
};

struct FontTrims {
  const char* soundfont;  // the file's name, without its directory
  const PieceTrim* trims;
  int count;
};

// MuseScore General Lite: the instruments that carry the third and fourth
// stages' pieces are much softer than TimGM6mb's; the others differ by
// under a decibel. Each piece is brought to about -18.1 LUFS, the pieces'
// level on TimGM6mb.
constexpr PieceTrim kMuseScoreLite[] = {
    {"BGM1.MID", -0.3}, {"BGM2.MID", +0.6}, {"BGM3.MID", +4.6}, {"BGM4.MID", +3.8},
    {"BGM5.MID", -0.8}, {"BGM6.MID", +0.5}, {"BGM7.MID", +0.5}, {"BGM8.MID", +0.1},
};

// FluidR3 GM: its pianos and leads are far louder, its brass softer.
constexpr PieceTrim kFluidR3[] = {
    {"BEND.MID", -1.1}, {"BGM1.MID", -2.0}, {"BGM2.MID", -9.2}, {"BGM3.MID", +3.8}, {"BGM4.MID", +3.5},
    {"BGM5.MID", -7.3}, {"BGM6.MID", -0.4}, {"BGM7.MID", +1.6}, {"BGM8.MID", +0.3},
};

// TimGM6mb, on which the pieces are balanced, needs none.
constexpr FontTrims kFonts[] = {
    {"MuseScore_General_Lite.sf3", kMuseScoreLite, int(sizeof kMuseScoreLite / sizeof *kMuseScoreLite)},
    {"FluidR3_GM.sf2", kFluidR3, int(sizeof kFluidR3 / sizeof *kFluidR3)},
};

const char* BaseName(const char* path) {
  const char* slash = strrchr(path, '/');
  return slash ? slash + 1 : path;
}

}  // namespace

double MusicTrimDb(const char* soundfont, const char* piece) {
  if (!soundfont || !piece) return 0.0;
  const char* font = BaseName(soundfont);
  const char* name = BaseName(piece);
  for (const FontTrims& f : kFonts) {
    if (strcmp(f.soundfont, font) != 0) continue;
    for (int i = 0; i < f.count; ++i)
      if (strcasecmp(f.trims[i].piece, name) == 0) return f.trims[i].db;
  }
  return 0.0;
}

}  // namespace oxs
