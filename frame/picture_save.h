// F12: the picture on the screen saved as a PNG in the player's pictures
// folder.
#pragma once

#include <cstddef>

namespace ox {

// Saves the picture last presented as a 640 x 480 PNG named after the date
// and time into PICTURES/Sample Game/ (made when missing), never over an
// existing file (a number is added instead). Answers the file's path in
// `out`; on failure false with the reason in `out`.
bool SavePresentedPicture(char* out, size_t size);

}  // namespace ox
