// The options overlay as the main loop and the window procedure drive it.
#pragma once

namespace ox {

// A key press (the physical key `vk`, and `bound`, what the player's
// bindings make of it) while the overlay is enabled: true when the overlay
// took it (it opened, closed, or is open).
bool OptionsTakeKey(int vk, int bound);
// The pads were read for a pass: while the overlay is open their presses
// are its commands (a close lets this pass's scene run).
void OptionsPadInput();
// A frame pass while the overlay is open, in place of the scene: draws it.
// False when it is closed (the scene runs).
bool OptionsPass();
// Called once the frame time of a pass is taken: keeps the scene's clocks
// still across the overlay.
void OptionsAfterFrameTime();

}  // namespace ox
