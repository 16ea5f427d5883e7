// Writes an input script that plays a whole game with F1: Enter on the
// title, F1 on the selection screen, then both fire keys held while the ship
// weaves across the middle of the playfield, where the bosses sway. Space is
// tapped now and then: the stages ignore it and it ends the ending.
//
//   autopilot FRAMES > script.txt
#include <cstdio>
#include <cstdlib>

namespace {

// One weave: right, pause, left for twice as long, pause. The ship swings
// about 90 pixels either side of where it started.
struct Leg {
  const char* key;
  int frames;
};
constexpr Leg kWeave[] = {{"RIGHT", 40}, {nullptr, 20}, {"LEFT", 80}, {nullptr, 20},
                          {"RIGHT", 40}, {nullptr, 20}};
constexpr int kFireFrom = 50;
constexpr int kSpaceEvery = 600;

}  // namespace

int main(int argc, char** argv) {
  const long frames = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 0;
  if (argc != 2 || frames < kFireFrom || frames > 100000000) {
    std::fprintf(stderr, "usage: autopilot FRAMES (at least %d)\n", kFireFrom);
    return 2;
  }
  std::printf("# Autopilot: a whole game with F1, %ld frame passes.\n", frames);
  std::printf("30 ENTER down\n32 ENTER up\n40 F1 down\n42 F1 up\n");
  std::printf("%d X down\n%d Z down\n%d DOWN down\n", kFireFrom, kFireFrom, kFireFrom);
  long frame = kFireFrom + 10;
  long nextSpace = kFireFrom + kSpaceEvery;
  while (frame < frames) {
    for (const Leg& leg : kWeave) {
      if (leg.key) {
        std::printf("%ld %s down\n%ld %s up\n", frame, leg.key, frame + leg.frames, leg.key);
      } else if (frame >= nextSpace) {
        // Inside a pause, so that no other key press hides it from the
        // scene that reads the last key.
        std::printf("%ld SPACE down\n%ld SPACE up\n", frame + 5, frame + 7);
        nextSpace += kSpaceEvery;
      }
      frame += leg.frames;
    }
  }
  return 0;
}
