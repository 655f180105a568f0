#pragma once
// The skin engine that start-up loads a skin file into and has paint the main
// window.

#include "base/failure.h"
#include "base/text.h"

namespace ostrevane {

// Each call throws Failure with a description when it cannot do what is asked.
class SkinEngine {
 public:
  virtual ~SkinEngine() = default;
  // Reads the skin file at `path`.
  virtual void Load(const Text& path) = 0;
  // Paints the window's background, frame and push buttons with the skin
  // last loaded.
  virtual void Paint() = 0;
};

}  // namespace ostrevane
