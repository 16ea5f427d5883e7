// The selection picture "BCG5.BMP".
#pragma once

namespace assets {

bool WriteSelectionPicture(const char* dir);

}  // namespace assets
