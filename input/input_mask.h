// The input mask of key and button polling.
#pragma once

namespace oxi {

// True while a screen transition runs, the picture overlay is shown or
// input is suspended: every polled edge state reads 0 then.
bool InputMasked();

// The edge-state step: 0 up, 1 pressed, 3 held, 2 released, from the
// previous state and the device's up/down state now, with the mask applied.
int NextEdgeState(int previous, bool down);

}  // namespace oxi
