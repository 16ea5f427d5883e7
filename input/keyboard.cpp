// Key edge states and the input mask.
#include "core/app_state.h"
#include "draw/ox_draw_status.h"
#include "input/input_mask.h"
#include "input/ox_bindings.h"
#include "input/ox_input.h"
#include "platform/platform.h"

namespace oxi {

bool InputMasked() {
  return oxd::TransitionRunning() || oxd::OverlayShown() || ox::Input().inputSuspended != 0;
}

int NextEdgeState(int previous, bool down) {
  int s;
  if (down) s = previous == 0 ? 1 : 3;
  else s = previous == 1 || previous == 3 ? 2 : 0;
  return InputMasked() ? 0 : s;
}

}  // namespace oxi

int oxInput::GetKey(int vk, int* state) {
  int s = oxi::NextEdgeState(state ? *state : 0, oxBindings::KeyDown(vk));
  if (state) *state = s;
  return s;
}
