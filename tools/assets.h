// The asset generator's parts: pictures, sounds, music, contact sheet.
// Each writes its files into `dir` and returns false (after a message on
// standard error) when a file cannot be written.
#pragma once

namespace assets {

// Every image the game loads: the sprite sheets and the full pictures.
bool WriteImages(const char* dir);
// Ships, enemies, bosses, bullets, explosions, the small-parts sheet.
bool WriteSpriteImages(const char* dir);
// Title logo, attract and selection pictures, backgrounds, clouds and
// scenery, the ending message.
bool WriteScenePictures(const char* dir);
bool WriteSounds(const char* dir);
bool WriteMusic(const char* dir);
// The program's icon from the player's ship: samplegame-48.png, -64, -128
// and -256 and the scalable samplegame.svg.
bool WriteIcons(const char* dir);
// The mark of a complete data set (OXDATA.TXT, see core/paths.h), written
// after every other file.
bool WriteDataMark(const char* dir);
// One PNG of every image on a checkerboard, labelled.
bool WriteContactSheet(const char* dir, const char* pngPath);

}  // namespace assets
