#pragma once
// The skin engine that start-up loads a skin file into and applies to the
// main window.

#include <cstdint>

#include "base/failure.h"
#include "base/text.h"

namespace ostrevane {

// The flag that makes the skin paint the push buttons too.
inline constexpr std::int32_t kSkinPaintsButtons = 1;

// The skin engine: loads a skin file and paints a window with it. Every call
// throws Failure with a description when it cannot do what is asked.
class SkinEngine {
 public:
  virtual ~SkinEngine() = default;
  virtual void LoadSkin(const Text& path, const Text& options) = 0;
  virtual std::int32_t Flags() = 0;
  virtual void SetFlags(std::int32_t flags) = 0;
  virtual void SetPaintBackgrounds(bool on) = 0;
  virtual void SetPaintFrames(bool on) = 0;
  virtual void ApplyToWindow(std::uintptr_t window) = 0;
};

}  // namespace ostrevane
