// Level trims of the game's pieces per soundfont: the pieces are balanced
// on the fallback soundfont, but another soundfont's instruments differ in
// level, so a piece can come out several decibels louder or quieter there.
// Each known soundfont has a small table of corrections, measured with
// tools/sound_report, that the music player applies as a gain while the
// piece plays. Unknown soundfonts and pieces get none.
#pragma once

namespace oxs {

// Most a trim may raise or lower a piece, in dB.
constexpr double kMaxMusicTrimDb = 12.0;

// The trim in dB for the piece `piece` (a file name such as "BGM3.MID";
// any directory is ignored, the case of the letters is not) played on the
// soundfont `soundfont` (a path; the file's name selects the table). 0 for
// an unknown soundfont or piece, or a null name.
double MusicTrimDb(const char* soundfont, const char* piece);

}  // namespace oxs
