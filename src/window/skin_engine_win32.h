#pragma once
// The program's own skin engine: loads a skin file of colours, and once asked
// to paint, gives the window's painters those colours.

#include <optional>

#include "window_rules/skin_engine.h"
#include "window_form/skin_file.h"

namespace ostrevane::window {

class Win32SkinEngine : public SkinEngine {
 public:
  void Load(const Text& path) override;
  // The window shows the colours from its next painting on.
  void Paint() override;

  // The colours to paint with; null until the skin paints.
  const SkinColors* Colors() const { return painting_ ? &*loaded_ : nullptr; }

 private:
  std::optional<SkinColors> loaded_;
  bool painting_ = false;
};

}  // namespace ostrevane::window
