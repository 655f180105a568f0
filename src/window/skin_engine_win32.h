#pragma once
// The program's own skin engine: loads a skin file of colours and tells the
// window's painters which colours to use once it is applied.

#include <windows.h>

#include "form/skin_file.h"
#include "commands/skin_engine.h"

namespace ostrevane::win32 {

class Win32SkinEngine : public SkinEngine {
 public:
  void LoadSkin(const Text& path, const Text& options) override;
  std::int32_t Flags() override { return flags_; }
  void SetFlags(std::int32_t flags) override { flags_ = flags; }
  void SetPaintBackgrounds(bool on) override { paint_backgrounds_ = on; }
  void SetPaintFrames(bool on) override { paint_frames_ = on; }
  void ApplyToWindow(std::uintptr_t window) override;

  // The colours to paint with, or nothing where the window keeps its own.
  std::optional<COLORREF> Background() const;
  std::optional<COLORREF> FrameText() const;
  std::optional<COLORREF> FrameLine() const;
  // Null unless the skin paints the push buttons.
  const SkinColors* ButtonColors() const;

 private:
  bool loaded_ = false;
  bool applied_ = false;
  std::int32_t flags_ = 0;
  bool paint_backgrounds_ = false;
  bool paint_frames_ = false;
  SkinColors colors_;
};

}  // namespace ostrevane::win32
