// The stage backgrounds "BACK1.BMP" ... "BACK8.BMP": 380 x 480 pictures
// that repeat vertically (row 479 runs on into row 0), because the game
// stacks them into a scrolling column.
#pragma once

namespace assets {

bool WriteBackgrounds(const char* dir);

}  // namespace assets
