#pragma once
// The skin file format: a small text file of colours.
//
//   [Ostrevane Skin]
//   ; comments start with ; or #
//   window         = #D4D0C8   background of the window and the frame
//   frame.text     = #000080   the frame's caption
//   frame.line     = #808080   the frame's border
//   button.face    = #E8E8E8
//   button.text    = #000000
//   button.border  = #404040
//   button.hot     = #F4F4F4   face under the mouse
//   button.pressed = #C8C8C8   face while pressed
//
// UTF-8 (a byte-order mark is allowed). Names ignore letter case; a setting
// left out keeps the window's own colour.

#include <cstdint>
#include <optional>
#include <string_view>

#include "base/failure.h"
#include "base/text.h"

namespace ostrevane {

// Colours as 0x00BBGGRR.
struct SkinColors {
  std::optional<std::uint32_t> window;
  std::optional<std::uint32_t> frame_text;
  std::optional<std::uint32_t> frame_line;
  std::optional<std::uint32_t> button_face;
  std::optional<std::uint32_t> button_text;
  std::optional<std::uint32_t> button_border;
  std::optional<std::uint32_t> button_hot;
  std::optional<std::uint32_t> button_pressed;
};

inline constexpr char kSkinHeader[] = "[Ostrevane Skin]";

// Throws Failure naming the file, the line and what is wrong there.
SkinColors ParseSkin(std::string_view bytes, const Text& path);

}  // namespace ostrevane
