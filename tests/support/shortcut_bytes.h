#pragma once
// Builds the bytes of shortcut (.lnk) files from their contents: the header, the
// target's item list, the link information with local and network paths, the
// strings, and environment and installer blocks. The tests read them back, the
// fuzz target builds its shapes with them, and a Windows test can write them
// to disk as real shortcuts.
//
// ANSI text is written one byte per unit (Latin-1), and a unit above 0xFF as
// "?", as a code page writes a character it lacks.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "base/text.h"

namespace ostrevane::testing {

using Bytes = std::vector<std::uint8_t>;
using Items = std::vector<Bytes>;  // a target's item list, without its terminating zero

namespace link_flag {
inline constexpr std::uint32_t kHasLinkTargetIdList = 1u << 0;
inline constexpr std::uint32_t kHasLinkInfo = 1u << 1;
inline constexpr std::uint32_t kHasName = 1u << 2;
inline constexpr std::uint32_t kHasRelativePath = 1u << 3;
inline constexpr std::uint32_t kHasWorkingDir = 1u << 4;
inline constexpr std::uint32_t kHasArguments = 1u << 5;
inline constexpr std::uint32_t kHasIconLocation = 1u << 6;
inline constexpr std::uint32_t kIsUnicode = 1u << 7;
inline constexpr std::uint32_t kForceNoLinkInfo = 1u << 8;
inline constexpr std::uint32_t kHasExpString = 1u << 9;
inline constexpr std::uint32_t kHasDarwinId = 1u << 12;
}  // namespace link_flag

inline constexpr char kShellLinkClsid[] = "00021401-0000-0000-C000-000000000046";
inline constexpr char kMyComputerClsid[] = "20D04FE0-3AEA-1069-A2D8-08002B30309D";
inline constexpr char kNetworkPlacesClsid[] = "208D2C60-3AEA-1069-A2D7-08002B30309D";
inline constexpr char kAppsFolderClsid[] = "4234D49B-0245-4DF3-B780-3893943456E1";
inline constexpr char kControlPanelClsid[] = "26EE0668-A00A-44D7-9371-BEB064C98683";

inline void PutU16(Bytes& bytes, std::size_t at, std::uint32_t value) {
  bytes.at(at) = static_cast<std::uint8_t>(value);
  bytes.at(at + 1) = static_cast<std::uint8_t>(value >> 8);
}
inline void PutU32(Bytes& bytes, std::size_t at, std::uint32_t value) {
  PutU16(bytes, at, value & 0xFFFF);
  PutU16(bytes, at + 2, value >> 16);
}
inline void AddU16(Bytes& bytes, std::uint32_t value) {
  bytes.resize(bytes.size() + 2);
  PutU16(bytes, bytes.size() - 2, value);
}
inline void AddU32(Bytes& bytes, std::uint32_t value) {
  bytes.resize(bytes.size() + 4);
  PutU32(bytes, bytes.size() - 4, value);
}
inline void AddBytes(Bytes& bytes, const Bytes& more) {
  bytes.insert(bytes.end(), more.begin(), more.end());
}

// Text without its terminating NUL.
inline Bytes AnsiBytes(TextView text) {
  Bytes bytes;
  for (char16_t c : text) bytes.push_back(c > 0xFF ? '?' : static_cast<std::uint8_t>(c));
  return bytes;
}
inline Bytes UnicodeBytes(TextView text) {
  Bytes bytes;
  for (char16_t c : text) AddU16(bytes, c);
  return bytes;
}
inline Bytes WithNul(Bytes bytes, std::size_t nul_bytes) {
  bytes.resize(bytes.size() + nul_bytes, 0);
  return bytes;
}

// "20D04FE0-3AEA-1069-A2D8-08002B30309D" as stored: the first three fields
// little-endian, the last eight bytes in order.
inline Bytes ClsidBytes(std::string_view text) {
  std::vector<std::uint8_t> digits;  // one byte per pair of hex digits, in text order
  for (std::size_t i = 0; i + 1 < text.size();) {
    if (text[i] == '-') {
      ++i;
      continue;
    }
    const auto hex = [](char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; };
    digits.push_back(static_cast<std::uint8_t>(hex(text[i]) << 4 | hex(text[i + 1])));
    i += 2;
  }
  return {digits[3],  digits[2],  digits[1],  digits[0], digits[5],  digits[4],
          digits[7],  digits[6],  digits[8],  digits[9], digits[10], digits[11],
          digits[12], digits[13], digits[14], digits[15]};
}

// --- items of the target's item list --------------------------------------

// A root folder of the shell's namespace: My Computer, Network, AppsFolder...
inline Bytes RootFolderItem(std::string_view clsid) {
  Bytes item{0x14, 0x00, 0x1F, 0x50};
  AddBytes(item, ClsidBytes(clsid));
  return item;
}

// A drive below My Computer: its root as ANSI text, "C:\".
inline Bytes DriveItem(TextView root) {
  Bytes item{0x19, 0x00, 0x2F};
  AddBytes(item, AnsiBytes(root));
  item.resize(0x19, 0);
  return item;
}

// A file or folder: an ANSI primary name, then the extension block that holds
// the long name in UTF-16. Later versions of the block put more fields before
// the name.
inline Bytes FileEntryItem(TextView long_name, bool folder, std::uint16_t version = 9) {
  Bytes item{0x00, 0x00, static_cast<std::uint8_t>(folder ? 0x31 : 0x32), 0x00};
  AddU32(item, folder ? 0 : 4096);     // size
  AddU32(item, 0x5A2B3C4D);            // date and time of the last change
  AddU16(item, folder ? 0x10 : 0x20);  // attributes
  AddBytes(item, WithNul(AnsiBytes(long_name), 1));
  if (item.size() % 2) item.push_back(0);
  const std::size_t block_at = item.size();
  Bytes block{0x00, 0x00};
  AddU16(block, version);
  AddU32(block, 0xBEEF0004);
  AddU32(block, 0x5A2B3C4D);                             // created
  AddU32(block, 0x5A2B3C4D);                             // last accessed
  AddU16(block, 0x2E);                                   // the writer's identifier
  if (version >= 7) block.resize(block.size() + 18, 0);  // file reference and unknown fields
  AddU16(block, 0);                                      // size of a localized name: none
  if (version >= 9) AddU32(block, 0);
  if (version >= 8) AddU32(block, 0);
  AddBytes(block, WithNul(UnicodeBytes(long_name), 2));
  AddU16(block, static_cast<std::uint32_t>(block_at));
  PutU16(block, 0, static_cast<std::uint32_t>(block.size()));
  AddBytes(item, block);
  PutU16(item, 0, static_cast<std::uint32_t>(item.size()));
  return item;
}

// A network share, "\\server\share", as its ANSI name.
inline Bytes NetworkShareItem(TextView unc) {
  Bytes item{0x00, 0x00, 0xC3, 0x01};
  AddBytes(item, WithNul(AnsiBytes(unc), 1));
  item.push_back(0);  // no description
  PutU16(item, 0, static_cast<std::uint32_t>(item.size()));
  return item;
}

// --- the file -----------------------------------------------------------------

struct LinkInfoContents {
  std::optional<Text> local_base_path{};  // with a volume id
  std::optional<Text> net_name{};         // "\\server\share", in a network link
  std::optional<Text> device_name{};      // "Z:", in the network link
  Text common_path_suffix{};
  bool unicode = false;  // the Unicode forms too, as written for names beyond the code page
};

struct TargetBlock {  // an environment or installer block
  Text ansi{};
  Text unicode{};
};

struct ShortcutContents {
  std::uint32_t add_flags = 0;    // beyond the flags the contents imply
  std::uint32_t clear_flags = 0;  // taken from those the contents imply
  std::optional<Items> id_list{};
  std::optional<LinkInfoContents> link_info{};
  bool unicode_strings = true;
  std::optional<Text> description{}, relative_path{}, working_dir{}, arguments{}, icon_location{};
  std::optional<TargetBlock> environment{};
  std::optional<TargetBlock> darwin{};
  std::vector<Bytes> other_blocks{};  // whole extra data blocks, as given
};

inline Bytes LinkInfoBytes(const LinkInfoContents& contents) {
  const std::size_t header_size = contents.unicode ? 0x24 : 0x1C;
  Bytes info(header_size, 0);
  PutU32(info, 4, static_cast<std::uint32_t>(header_size));
  const auto here = [&] { return static_cast<std::uint32_t>(info.size()); };
  if (contents.local_base_path) {
    PutU32(info, 8, 1);  // a volume id and a local base path
    PutU32(info, 0x0C, here());
    Bytes volume;
    AddU32(volume, 0x11);
    AddU32(volume, 3);           // a fixed drive
    AddU32(volume, 0x1234ABCD);  // serial number
    AddU32(volume, 0x10);        // label offset: the empty label after these fields
    volume.push_back(0);
    AddBytes(info, volume);
    PutU32(info, 0x10, here());
    AddBytes(info, WithNul(AnsiBytes(*contents.local_base_path), 1));
  }
  if (contents.net_name || contents.device_name) {
    PutU32(info, 8, info[8] | 2);  // a network link
    PutU32(info, 0x14, here());
    const Text net_name = contents.net_name.value_or(Text());
    const Text device_name = contents.device_name.value_or(Text());
    const std::size_t link_header = contents.unicode ? 0x1C : 0x14;
    Bytes link(link_header, 0);
    PutU32(link, 4, (contents.device_name ? 1 : 0) | 2);  // valid device, valid network type
    PutU32(link, 0x10, 0x00020000);                       // a LAN Manager network
    const auto here_in_link = [&] { return static_cast<std::uint32_t>(link.size()); };
    PutU32(link, 8, here_in_link());
    AddBytes(link, WithNul(AnsiBytes(net_name), 1));
    PutU32(link, 0x0C, contents.device_name ? here_in_link() : 0);
    if (contents.device_name) AddBytes(link, WithNul(AnsiBytes(device_name), 1));
    if (contents.unicode) {
      PutU32(link, 0x14, here_in_link());
      AddBytes(link, WithNul(UnicodeBytes(net_name), 2));
      PutU32(link, 0x18, contents.device_name ? here_in_link() : 0);
      if (contents.device_name) AddBytes(link, WithNul(UnicodeBytes(device_name), 2));
    }
    PutU32(link, 0, static_cast<std::uint32_t>(link.size()));
    AddBytes(info, link);
  }
  PutU32(info, 0x18, here());
  AddBytes(info, WithNul(AnsiBytes(contents.common_path_suffix), 1));
  if (contents.unicode) {
    if (contents.local_base_path) {
      PutU32(info, 0x1C, here());
      AddBytes(info, WithNul(UnicodeBytes(*contents.local_base_path), 2));
    }
    PutU32(info, 0x20, here());
    AddBytes(info, WithNul(UnicodeBytes(contents.common_path_suffix), 2));
  }
  PutU32(info, 0, static_cast<std::uint32_t>(info.size()));
  return info;
}

inline Bytes TargetBlockBytes(std::uint32_t signature, const TargetBlock& target) {
  Bytes block;
  AddU32(block, 0x314);
  AddU32(block, signature);
  Bytes ansi = AnsiBytes(target.ansi), unicode = UnicodeBytes(target.unicode);
  ansi.resize(260, 0);
  unicode.resize(520, 0);
  AddBytes(block, ansi);
  AddBytes(block, unicode);
  return block;
}

// An installer's descriptor of an advertised feature, as Windows Installer
// writes it into a shortcut: the product code and the component code, each
// as 20 characters (every 32-bit word of the GUID as stored, in base 85, its
// least significant digit first), with the feature name and ">" between.
inline Text DarwinDescriptor(std::string_view product, TextView feature,
                             std::string_view component) {
  constexpr std::string_view kDigits =
      "!$%&'()*+,-.0123456789=?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[]^_`abcdefghijklmnopqrstuvwxyz{}~";
  static_assert(kDigits.size() == 85);
  const auto encoded = [&](std::string_view guid) {
    const Bytes bytes = ClsidBytes(guid);
    Text text;
    for (std::size_t word = 0; word < 4; ++word) {
      std::uint32_t value = 0;
      for (std::size_t i = 0; i < 4; ++i) value |= std::uint32_t{bytes[4 * word + i]} << (8 * i);
      for (int digit = 0; digit < 5; ++digit, value /= 85) text += kDigits[value % 85];
    }
    return text;
  };
  return encoded(product) + Text(feature) + u">" + encoded(component);
}

inline Bytes ShortcutBytes(const ShortcutContents& contents) {
  using namespace link_flag;
  std::uint32_t flags = contents.add_flags;
  if (contents.id_list) flags |= kHasLinkTargetIdList;
  if (contents.link_info) flags |= kHasLinkInfo;
  if (contents.description) flags |= kHasName;
  if (contents.relative_path) flags |= kHasRelativePath;
  if (contents.working_dir) flags |= kHasWorkingDir;
  if (contents.arguments) flags |= kHasArguments;
  if (contents.icon_location) flags |= kHasIconLocation;
  if (contents.unicode_strings) flags |= kIsUnicode;
  if (contents.environment) flags |= kHasExpString;
  if (contents.darwin) flags |= kHasDarwinId;
  flags &= ~contents.clear_flags;

  Bytes file(0x4C, 0);
  PutU32(file, 0, 0x4C);
  const Bytes clsid = ClsidBytes(kShellLinkClsid);
  std::copy(clsid.begin(), clsid.end(), file.begin() + 4);
  PutU32(file, 0x14, flags);
  PutU32(file, 0x3C, 1);  // shown in a normal window
  if (contents.id_list) {
    Bytes list;
    for (const Bytes& item : *contents.id_list) AddBytes(list, item);
    AddU16(list, 0);
    AddU16(file, static_cast<std::uint32_t>(list.size()));
    AddBytes(file, list);
  }
  if (contents.link_info) AddBytes(file, LinkInfoBytes(*contents.link_info));
  for (const auto* text : {&contents.description, &contents.relative_path, &contents.working_dir,
                           &contents.arguments, &contents.icon_location}) {
    if (!*text) continue;
    AddU16(file, static_cast<std::uint32_t>((*text)->size()));
    AddBytes(file, contents.unicode_strings ? UnicodeBytes(**text) : AnsiBytes(**text));
  }
  if (contents.environment) AddBytes(file, TargetBlockBytes(0xA0000001, *contents.environment));
  if (contents.darwin) AddBytes(file, TargetBlockBytes(0xA0000006, *contents.darwin));
  for (const Bytes& block : contents.other_blocks) AddBytes(file, block);
  AddU32(file, 0);  // the terminal block
  return file;
}

}  // namespace ostrevane::testing
