// The picture of a notice line (white text on a dark band) that the sdl
// backend shows over the presented picture.
#pragma once

#include <cstdint>

namespace plat {

constexpr int kNoticeWidth = 640;
constexpr int kNoticeHeight = 24;

// Draws `text` into `pixels` (kNoticeWidth x kNoticeHeight, premultiplied
// ARGB32, row after row). False when Cairo cannot draw.
bool DrawNoticePicture(const char* text, uint32_t* pixels);

}  // namespace plat
