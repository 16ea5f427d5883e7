#include "frame/player_keys.h"

#include <climits>
#include <cstdio>
#include <cstring>

#include "frame/picture_save.h"
#include "frame/player_display.h"
#include "platform/platform.h"

namespace ox {

namespace {

// Keys whose press was taken: their release is taken too.
bool g_taken[256];

}  // namespace

void ResetPlayerKeys() { memset(g_taken, 0, sizeof g_taken); }

bool TakePlayerKey(const plat::Message& m) {
  const bool down = m.message == plat::kMsgKeyDown || m.message == plat::kMsgSysKeyDown;
  const bool up = m.message == plat::kMsgKeyUp || m.message == plat::kMsgSysKeyUp;
  if ((!down && !up) || m.wparam < 0 || m.wparam > 255) return false;
  const int vk = static_cast<int>(m.wparam);
  if (up) {
    if (!g_taken[vk]) return false;
    g_taken[vk] = false;
    return true;
  }
  // Enter with Alt held arrives as a system key.
  const bool altEnter = vk == plat::kVkReturn && m.message == plat::kMsgSysKeyDown;
  if (!altEnter && vk != kVkF11 && vk != plat::kVkF12) return false;
  g_taken[vk] = true;
  // The desktop's key repeat does the deed once.
  if (m.lparam & plat::kKeyRepeat) return true;
  if (vk == plat::kVkF12) {
    char saved[PATH_MAX + 128];
    if (SavePresentedPicture(saved, sizeof saved)) {
      const char* name = strrchr(saved, '/');
      char notice[192];
      snprintf(notice, sizeof notice, "Picture saved: %.160s", name ? name + 1 : saved);
      plat::ShowNotice(notice, kNoticeMs);
      fprintf(stderr, "samplegame: picture saved to %s\n", saved);
    } else {
      plat::ShowNotice("The picture could not be saved", kNoticeMs);
      fprintf(stderr, "samplegame: the picture was not saved: %s\n", saved);
    }
  } else {
    ToggleFullScreen();
  }
  return true;
}

}  // namespace ox
