#pragma once
// The main window's fixed layout: one table, in twips (1/1440 inch), that the
// window converts with its own DPI every time it lays itself out.

#include <cstdint>

#include "base/twips.h"

namespace ostrevane {

enum class ControlName {
  kFrame3,
  kListView1,
  kPushButton4,
  kPushButton5,
  kPushButton2,
  kPushButton1,
  kPushButton3,
};

// Kinds of controls the form holds; of these a skin recolours the frame.
enum class ControlKind { kFrame, kListView, kPushButton, kSkin };

struct ControlLayout {
  ControlName name;
  const char16_t* id;  // the control's name, as handlers and tests call it
  ControlKind kind;
  bool inside_frame;             // positioned in Frame3's client area, else in Form1's
  int left, top, width, height;  // twips
  int tab_index;
  const char16_t* text;  // caption, or the list's tooltip
  int control_id;        // Win32 control id
};

inline constexpr int kFormClientWidthTwips = 8040;
inline constexpr int kFormClientHeightTwips = 7455;
inline constexpr char16_t kFormInitialCaption[] = u"Form1";
inline constexpr char16_t kListTooltip[] =
    u"Move | line to right and out of window to reveal full names.";

// In creation order. The tab order follows tab_index instead.
inline constexpr ControlLayout kForm1Controls[] = {
    {ControlName::kFrame3, u"Frame3", ControlKind::kFrame, false, 120, 120, 7800, 5175, 4,
     u"Delete Start Menu Entries", 1003},
    {ControlName::kListView1, u"ListView1", ControlKind::kListView, true, 165, 300, 7455, 4725, 0,
     kListTooltip, 1010},
    {ControlName::kPushButton4, u"PushButton4", ControlKind::kPushButton, false, 120, 5415, 3840,
     405, 1, u"Select All", 1104},
    {ControlName::kPushButton5, u"PushButton5", ControlKind::kPushButton, false, 4080, 5415, 3840,
     405, 2, u"Unselect All", 1105},
    {ControlName::kPushButton2, u"PushButton2", ControlKind::kPushButton, false, 120, 6930, 7800,
     405, 3, u"Start Deleting Checked Entries", 1102},
    {ControlName::kPushButton1, u"PushButton1", ControlKind::kPushButton, false, 120, 5910, 7800,
     405, 5, u"Select All Containing This Text", 1101},
    {ControlName::kPushButton3, u"PushButton3", ControlKind::kPushButton, false, 120, 6420, 7800,
     405, 6, u"Select All Not Containing This Text", 1103},
};

// The list's two columns, as start-up adds them.
inline constexpr char16_t kColumnMenuItem[] = u"Menu Item";
inline constexpr char16_t kColumnType[] = u"Type";
inline constexpr double kColumnMenuItemTwips = 6000;
inline constexpr double kColumnTypeTwips = 1000;

// Font sizes in hundredths of a point: the window, frame and list use 9 pt;
// the push buttons 11.25 pt.
inline constexpr int kFormFontCentipoints = 900;
inline constexpr int kButtonFontCentipoints = 1125;
inline constexpr int kCharsetAnsi = 0;
inline constexpr int kCharsetCyrillic = 204;

// Colours as the form designer writes them: the high bit marks a system
// colour whose index is the low byte; otherwise 0x00BBGGRR.
inline constexpr std::uint32_t kColorButtonFace = 0x8000000F;
inline constexpr std::uint32_t kColorWhite = 0x00FFFFFF;
constexpr bool IsSystemColor(std::uint32_t color) { return (color & 0x80000000u) != 0; }
constexpr int SystemColorIndex(std::uint32_t color) { return static_cast<int>(color & 0xFF); }

}  // namespace ostrevane
