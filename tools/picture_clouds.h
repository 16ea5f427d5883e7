// The clouds and scenery pieces "BKM1h.BMP", "BKM1m.BMP", "BKM2.BMP",
// "BKM3.BMP", "BKM4.BMP" and "BKM5.BMP".
#pragma once

namespace assets {

bool WriteClouds(const char* dir);

}  // namespace assets
