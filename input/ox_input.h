// oxInput: polled keyboard and joystick input.
//
// Keys and joystick buttons are polled into edge states: 0 up, 1 pressed on
// this poll, 3 held, 2 released on this poll. While a screen transition or
// the picture overlay runs, or input is suspended, every edge state reads 0.
// Joysticks are pads 0 and 1 with buttons 1 to 4; directions are decided
// against the centres read by InitJoystick (at screen set-up), and ramps grow
// with the frame seconds while a button or direction is held. A pad that
// cannot be read (none attached) gives neutral values and is never an error.
#pragma once

struct oxInput {
  // Virtual-key codes of the keys that games and tools name most: letters
  // and digits are their upper-case ASCII codes, F1 is 112, F2 113, ...
  static constexpr int kBack = 8, kTab = 9, kReturn = 13, kShift = 16, kControl = 17, kAlt = 18,
                       kEscape = 27, kSpace = 32, kLeft = 37, kUp = 38, kRight = 39, kDown = 40,
                       kF1 = 112;

  // Updates the caller's edge state `*state` from the key's up/down state now
  // (virtual-key code) and returns it.
  static int GetKey(int vk, int* state);

  // Looks the joysticks up again, reads the centres of pads 0 and 1 (0 for a
  // pad that gives no reading) and clears both pad records.
  static void InitJoystick();
  // Installs the joystick calibration as a service of screen set-up (the
  // frame does this at start).
  static void InstallServices();
  // The stored centre of a pad.
  static void JoyCentre(int pad, int* x, int* y);
  // Ramp units per second of the analogue values and of the button ramps.
  static void JoySetRamp(int pad, float directionRate, float buttonRate);
  // Both pads' analogue values and button ramps back to 0 (rates and edge
  // states stay).
  static void JoyResetRamps();

  // 1 while the button (1..4) is down; 0 when it is up or the pad cannot be read.
  static int JoyButton(int pad, int button);
  // The button's edge state, kept in the pad record; 0 when the pad cannot
  // be read (the kept state then stays as it was).
  static int JoyButtonState(int pad, int button);
  // Buttons 1 to 4 down (1) or up (0). Returns 0 (all 0) when the pad
  // cannot be read, else 1.
  static int JoyButtons(int pad, int* b1, int* b2, int* b3, int* b4);
  // The ramp of one button: grows by the button rate per second while the
  // button is down, up to 100; 0 once it is up.
  static int JoyButtonRamp(int pad, int button);
  // The ramps of buttons 1 to 4 from one reading. Returns 0 (all 0) when the
  // pad cannot be read, else 1.
  static int JoyButtonRamps(int pad, int* r1, int* r2, int* r3, int* r4);

  // Each of -1, 0, +1 (smaller y is up). Returns 0 (both 0) when the pad
  // cannot be read, else 1.
  static int JoyDirection(int pad, int* dx, int* dy);
  // The direction as a numeric-keypad digit: 7 8 9 / 4 5 6 / 1 2 3; 5 when
  // the pad cannot be read.
  static int JoyDirection8(int pad);
  // Raw positions 0..65535 with the dead zone. Returns 0 (both 0) when the
  // pad cannot be read, else 1.
  static int JoyPosition(int pad, int* x, int* y);
  // Analogue values -100..100 that move toward the held direction at the
  // direction rate and back to 0 at the same rate. Returns 0 (both 0) when
  // the pad cannot be read, else 1.
  static int JoyAnalog(int pad, int* ax, int* ay);
};
