#include "window_form/skin_file.h"

#include <cctype>
#include <string>
#include <utility>

namespace ostrevane {
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

// A value without the comment that may follow it: from a ";", or from a "#"
// after a blank (a colour itself begins with "#").
std::string_view WithoutComment(std::string_view value) {
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] == ';' ||
        (value[i] == '#' && i > 0 && (value[i - 1] == ' ' || value[i - 1] == '\t'))) {
      return Trim(value.substr(0, i));
    }
  }
  return value;
}

std::string LowerAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::optional<std::uint32_t> ParseColor(std::string_view value) {
  if (value.size() != 7 || value[0] != '#') return std::nullopt;
  std::uint32_t rgb = 0;
  for (char c : value.substr(1)) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
    rgb = rgb * 16 +
          static_cast<std::uint32_t>(std::isdigit(static_cast<unsigned char>(c))
                                         ? c - '0'
                                         : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10);
  }
  const std::uint32_t r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
  return r | (g << 8) | (b << 16);
}

// The settings a skin file may hold, by the name the file gives them.
constexpr std::pair<std::string_view, std::optional<std::uint32_t> SkinColors::*> kSettings[] = {
    {"window", &SkinColors::window},           {"frame.text", &SkinColors::frame_text},
    {"frame.line", &SkinColors::frame_line},   {"button.face", &SkinColors::button_face},
    {"button.text", &SkinColors::button_text}, {"button.border", &SkinColors::button_border},
    {"button.hot", &SkinColors::button_hot},   {"button.pressed", &SkinColors::button_pressed},
};

}  // namespace

SkinColors ParseSkin(std::string_view bytes, const Text& path) {
  const auto fail = [&](std::size_t line, const std::string& what) -> void {
    throw Failure(u"The skin file \"" + path + u"\" cannot be used: line " +
                  DecimalText(static_cast<long long>(line)) + u": " + FromUtf8(what));
  };
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  if (bytes.find('\0') != std::string_view::npos) {
    fail(1, "this is not a text file.");
  }
  SkinColors skin;
  bool header_seen = false;
  std::size_t line_number = 0;
  while (!bytes.empty() || line_number == 0) {
    ++line_number;
    const std::size_t end = bytes.find('\n');
    const std::string_view line = Trim(bytes.substr(0, end));
    bytes = end == std::string_view::npos ? std::string_view() : bytes.substr(end + 1);
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    if (!header_seen) {
      if (line != kSkinHeader)
        fail(line_number, std::string("a skin file begins with ") + kSkinHeader + ".");
      header_seen = true;
      continue;
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
      fail(line_number, "expected a setting such as \"button.face = #E8E8E8\".");
    }
    const std::string name = LowerAscii(Trim(line.substr(0, equals)));
    const std::string_view value = WithoutComment(Trim(line.substr(equals + 1)));
    std::optional<std::uint32_t>* slot = nullptr;
    for (const auto& [setting, member] : kSettings) {
      if (name == setting) slot = &(skin.*member);
    }
    if (!slot) fail(line_number, "unknown setting \"" + name + "\".");
    const std::optional<std::uint32_t> color = ParseColor(value);
    if (!color) {
      fail(line_number, "\"" + std::string(value) + "\" is not a colour; write it as #RRGGBB.");
    }
    *slot = color;
  }
  if (!header_seen) fail(line_number, std::string("a skin file begins with ") + kSkinHeader + ".");
  return skin;
}

}  // namespace ostrevane
