// The attract pictures of the title: "BTHK00.BMP", "BCG2.BMP", "BCG3.BMP"
// and "BCG4.BMP".
#pragma once

namespace assets {

bool WriteAttractPictures(const char* dir);

}  // namespace assets
