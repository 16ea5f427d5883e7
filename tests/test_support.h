// Shared set-up of the tests: every test runs on the headless backend.
#pragma once

#include <cstdint>
#include <string>

namespace oxtest {

// Starts the headless platform and puts the library's state back to its
// values before start-up. The data directory is a fresh temporary folder.
void StartHeadless(uint32_t clockStart = 0);
// StartHeadless, then oxDraw::Screen(640, 480, 2) as the game opens it.
void OpenScreen();
// The temporary data directory of the current test (with a trailing "/").
const std::string& DataDir();
// Writes a 24-bit bottom-up BMP; pixels are 0x00RRGGBB, row by row from the top.
bool WriteBmp24(const std::string& path, int width, int height, const uint32_t* pixels);
// Reads a whole file.
std::string ReadFile(const std::string& path);

}  // namespace oxtest
