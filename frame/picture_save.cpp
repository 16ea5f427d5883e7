#include "frame/picture_save.h"

#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "draw/ox_draw_status.h"
#include "draw/ox_surface.h"
#include "platform/platform.h"

namespace ox {

namespace {

constexpr const char* kFolder = "Sample Game";
constexpr int kMaxSuffix = 999;

// Makes `path` and the folders above it that are missing.
bool MakeFolder(const char* path) {
  char dir[PATH_MAX + 64];
  snprintf(dir, sizeof dir, "%s", path);
  for (char* p = dir + 1; *p; ++p) {
    if (*p != '/') continue;
    *p = '\0';
    mkdir(dir, 0755);
    *p = '/';
  }
  if (mkdir(path, 0755) == 0 || errno == EEXIST) {
    struct stat st;
    if (stat(path, &st) == 0 && S_ISDIR(st.st_mode)) return true;
    errno = ENOTDIR;
  }
  return false;
}

}  // namespace

bool SavePresentedPicture(char* out, size_t size) {
  const oxd::Surface* s = oxd::PresentedSurface();
  if (!s || !s->pixels || s->width <= 0 || s->height <= 0) {
    snprintf(out, size, "no picture has been shown yet");
    return false;
  }
  char pictures[PATH_MAX], folder[PATH_MAX + 32];
  if (!plat::PicturesDirectory(pictures, sizeof pictures)) {
    snprintf(out, size, "there is no pictures folder (HOME is not set)");
    return false;
  }
  snprintf(folder, sizeof folder, "%s/%s", pictures, kFolder);
  if (!MakeFolder(folder)) {
    snprintf(out, size, "cannot make the folder %s: %s", folder, strerror(errno));
    return false;
  }
  time_t now = time(nullptr);
  struct tm t;
  localtime_r(&now, &t);
  char stamp[32];
  strftime(stamp, sizeof stamp, "%Y-%m-%d %H-%M-%S", &t);
  for (int n = 1; n <= kMaxSuffix; ++n) {
    char number[16] = "";
    if (n > 1) snprintf(number, sizeof number, " (%d)", n);
    const int len = snprintf(out, size, "%s/%s %s%s.png", folder, kFolder, stamp, number);
    if (len < 0 || size_t(len) >= size) {
      snprintf(out, size, "the picture's path is too long");
      return false;
    }
    if (plat::WritePng(out, s->pixels, s->width, s->height, s->pitch)) return true;
    if (errno != EEXIST) {
      const int saved = errno;
      char path[PATH_MAX + 64];
      snprintf(path, sizeof path, "%s", out);
      snprintf(out, size, "cannot write %s: %s", path, strerror(saved));
      return false;
    }
  }
  snprintf(out, size, "too many pictures of this second in %s", folder);
  return false;
}

}  // namespace ox
