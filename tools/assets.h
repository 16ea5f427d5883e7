// The asset generator's parts: pictures, sounds, music, contact sheet.
// Each writes its files into `dir` and returns false (after a message on
// standard error) when a file cannot be written.
#pragma once

namespace assets {

bool WriteImages(const char* dir);
bool WriteSounds(const char* dir);
bool WriteMusic(const char* dir);
// One PNG of every image on a checkerboard, labelled.
bool WriteContactSheet(const char* dir, const char* pngPath);

}  // namespace assets
