// The title logo "TITLE.BMP" and the ending message "MYGOODN.BMP".
#pragma once

namespace assets {

bool WriteTitlePictures(const char* dir);

}  // namespace assets
