// The dummy vector driver: draws nothing, but takes and refuses the same
// pixel layouts as the Cairo driver, so code above behaves the same way
// with either.
#include "platform/drivers.h"
#include "platform/vector.h"

namespace plat::vector {

namespace {

constexpr int kCanvases = 4;

class DummyCanvas final : public Canvas {
 public:
  bool inUse = false;
  void Begin() override {}
  void End() override {}
  void SetPen(Rgb, double) override {}
  void AddSegment(Point, Point) override {}
  void AddRectangle(double, double, double, double) override {}
  void Stroke() override {}
  bool FillHatch(const Point*, int, const uint8_t*, Rgb, const Rgb*) override { return true; }
  void Destroy() override { inUse = false; }
};

class DummyDriver final : public Driver {
 public:
  const char* Name() const override { return "dummy"; }
  Canvas* CreateCanvas(uint16_t* pixels, int width, int height, int pitchPixels) override {
    const int stride = pitchPixels * 2;
    // Rows of whole 32-bit words and at most 32767 pixels a side, as an
    // RGB565 image surface needs.
    if (!pixels || width < 0 || height < 0 || width > 32767 || height > 32767 ||
        stride != ((width * 2 + 3) & ~3))
      return nullptr;
    for (DummyCanvas& c : canvases_) {
      if (c.inUse) continue;
      c.inUse = true;
      return &c;
    }
    return nullptr;
  }

 private:
  DummyCanvas canvases_[kCanvases];
};

}  // namespace

Driver& DummyDriverInstance() {
  static DummyDriver driver;
  return driver;
}

}  // namespace plat::vector
