// The scene pictures: title logo, attract and selection pictures, the
// ending message, clouds and the stage backgrounds.
#include "tools/assets.h"
#include "tools/picture_attract.h"
#include "tools/picture_backgrounds.h"
#include "tools/picture_clouds.h"
#include "tools/picture_select.h"
#include "tools/picture_title.h"

namespace assets {

bool WriteScenePictures(const char* dir) {
  bool ok = WriteBackgrounds(dir);
  ok = WriteClouds(dir) && ok;
  ok = WriteTitlePictures(dir) && ok;
  ok = WriteAttractPictures(dir) && ok;
  ok = WriteSelectionPicture(dir) && ok;
  return ok;
}

}  // namespace assets
