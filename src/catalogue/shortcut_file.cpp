#include "catalogue/shortcut_file.h"

#include "catalogue/file_names.h"

#include <algorithm>
#include <array>
#include <vector>

namespace ostrevane {
namespace {

using Clsid = std::array<std::uint8_t, 16>;  // as stored: the first three fields little-endian

constexpr std::size_t kHeaderSize = 0x4C;
constexpr Clsid kShellLinkClsid = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                   0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
constexpr Clsid kMyComputerClsid = {0xE0, 0x4F, 0xD0, 0x20, 0xEA, 0x3A, 0x69, 0x10,
                                    0xA2, 0xD8, 0x08, 0x00, 0x2B, 0x30, 0x30, 0x9D};
constexpr Clsid kNetworkPlacesClsid = {0x60, 0x2C, 0x8D, 0x20, 0xEA, 0x3A, 0x69, 0x10,
                                       0xA2, 0xD7, 0x08, 0x00, 0x2B, 0x30, 0x30, 0x9D};

// Link flags.
constexpr std::uint32_t kHasLinkTargetIdList = 1u << 0;
constexpr std::uint32_t kHasLinkInfo = 1u << 1;
constexpr std::uint32_t kHasName = 1u << 2;
constexpr std::uint32_t kHasRelativePath = 1u << 3;
constexpr std::uint32_t kHasWorkingDir = 1u << 4;
constexpr std::uint32_t kHasArguments = 1u << 5;
constexpr std::uint32_t kHasIconLocation = 1u << 6;
constexpr std::uint32_t kIsUnicode = 1u << 7;
constexpr std::uint32_t kForceNoLinkInfo = 1u << 8;
constexpr std::uint32_t kHasExpString = 1u << 9;
constexpr std::uint32_t kHasDarwinId = 1u << 12;

// Link information.
constexpr std::size_t kLinkInfoHeaderSize = 0x1C;
constexpr std::size_t kLinkInfoHeaderWithUnicode = 0x24;
constexpr std::uint32_t kVolumeIdAndLocalBasePath = 1u << 0;
constexpr std::uint32_t kCommonNetworkRelativeLink = 1u << 1;
constexpr std::size_t kVolumeIdHeaderSize = 0x10;
constexpr std::size_t kNetworkLinkHeaderSize = 0x14;
constexpr std::uint32_t kValidDevice = 1u << 0;

// Extra data blocks.
constexpr std::uint32_t kEnvironmentSignature = 0xA0000001;
constexpr std::uint32_t kDarwinSignature = 0xA0000006;
constexpr std::size_t kTargetBlockSize = 0x314;  // both: 260 ANSI bytes, then 260 UTF-16 units
constexpr std::size_t kTargetAnsiBytes = 260;

// Item ids.
constexpr std::uint8_t kRootFolderItem = 0x1F;
constexpr std::uint8_t kItemClassMask = 0x70;
constexpr std::uint8_t kVolumeClass = 0x20;
constexpr std::uint8_t kFileEntryClass = 0x30;
constexpr std::uint8_t kNetworkClass = 0x40;
constexpr std::uint32_t kFileEntryExtension = 0xBEEF0004;

struct Unreadable {
  Text why;
};

[[noreturn]] void Fail(Text why) { throw Unreadable{std::move(why)}; }

Text Latin1(std::span<const std::uint8_t> bytes) { return Text(bytes.begin(), bytes.end()); }

Text Utf16(std::span<const std::uint8_t> bytes) {
  Text text(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    text[i] = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
  }
  return text;
}

// A named region of the file. A read past its end makes the whole file
// unreadable, in words that name the region.
class Region {
 public:
  Region(std::span<const std::uint8_t> bytes, Text name) : bytes_(bytes), name_(std::move(name)) {}

  std::size_t size() const { return bytes_.size(); }
  const Text& name() const { return name_; }
  bool Has(std::size_t at, std::size_t count) const {
    return at <= bytes_.size() && count <= bytes_.size() - at;
  }
  std::uint8_t U8(std::size_t at) const { return Bytes(at, 1)[0]; }
  std::uint16_t U16(std::size_t at) const {
    const auto b = Bytes(at, 2);
    return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
  }
  std::uint32_t U32(std::size_t at) const {
    const auto b = Bytes(at, 4);
    return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
  }
  std::span<const std::uint8_t> Bytes(std::size_t at, std::size_t count) const {
    if (!Has(at, count)) Fail(name_ + u" is cut short");
    return bytes_.subspan(at, count);
  }
  Region Sub(std::size_t at, std::size_t count, Text name) const {
    if (!Has(at, count)) Fail(name + u" runs past the end of " + name_);
    return Region(bytes_.subspan(at, count), std::move(name));
  }

  // Texts that end with a NUL inside the region.
  Text AnsiTextAt(std::size_t at) const {
    if (!Has(at, 0)) Fail(u"a text's place lies outside " + name_);
    const auto rest = bytes_.subspan(at);
    const auto end = std::find(rest.begin(), rest.end(), std::uint8_t{0});
    if (end == rest.end()) Fail(u"a text in " + name_ + u" has no end");
    return Latin1(rest.first(static_cast<std::size_t>(end - rest.begin())));
  }
  Text UnicodeTextAt(std::size_t at) const {
    if (!Has(at, 0)) Fail(u"a text's place lies outside " + name_);
    for (std::size_t end = at; Has(end, 2); end += 2) {
      if (bytes_[end] == 0 && bytes_[end + 1] == 0) return Utf16(bytes_.subspan(at, end - at));
    }
    Fail(u"a text in " + name_ + u" has no end");
  }

 private:
  std::span<const std::uint8_t> bytes_;
  Text name_;
};

// A fixed-size text field: up to its first NUL, or all of it.
Text AnsiField(std::span<const std::uint8_t> field) {
  return Latin1(field.first(
      static_cast<std::size_t>(std::find(field.begin(), field.end(), 0) - field.begin())));
}
Text UnicodeField(std::span<const std::uint8_t> field) {
  Text text = Utf16(field);
  return text.substr(0, text.find(u'\0'));
}

// --- the target's item list ----------------------------------------------

// A name the file system could hold as one component of a path: a name read from
// an item that does not pass is not used, rather than guessed at.
bool IsPlainName(const Text& name) {
  if (name.empty() || name == u"." || name == u"..") return false;
  return std::none_of(name.begin(), name.end(), IsForbiddenInName);
}

std::uint8_t ItemType(const Region& item) { return item.Has(2, 1) ? item.U8(2) : 0; }

bool IsRootFolder(const Region& item, const Clsid& clsid) {
  if (ItemType(item) != kRootFolderItem || !item.Has(4, clsid.size())) return false;
  const auto stored = item.Bytes(4, clsid.size());
  return std::equal(stored.begin(), stored.end(), clsid.begin());
}

// A drive item holds its root as ANSI text, "C:\".
std::optional<Text> DriveRoot(const Region& item) {
  if ((ItemType(item) & kItemClassMask) != kVolumeClass || !item.Has(3, 4)) return std::nullopt;
  const auto text = item.Bytes(3, 4);
  if (!IsDriveLetter(text[0]) || text[1] != ':' || text[2] != '\\' || text[3] != 0) {
    return std::nullopt;
  }
  return Latin1(text.first(3));
}

// A file or folder item's long name, from the extension block its last two
// bytes point to. The primary name before that block may be a short 8.3 name
// or bytes of a code page, so it is not used.
std::optional<Text> FileEntryName(const Region& item) {
  const std::size_t size = item.size();
  if ((ItemType(item) & kItemClassMask) != kFileEntryClass || size < 16) return std::nullopt;
  const std::size_t block_at = item.U16(size - 2);
  // Size, type, padding, file size, date, time and attributes come first.
  constexpr std::size_t kFixedFields = 14;
  if (block_at < kFixedFields || !item.Has(block_at, 8)) return std::nullopt;
  const std::size_t block_size = item.U16(block_at);
  const std::uint16_t version = item.U16(block_at + 2);
  if (item.U32(block_at + 4) != kFileEntryExtension || block_size < 8 ||
      block_size > size - block_at || version < 3 || version > 9) {
    return std::nullopt;
  }
  // Later versions insert fields before the name; the block ends with the
  // offset of its own start.
  const std::size_t name_at = block_at + (version >= 9   ? 46
                                          : version == 8 ? 42
                                          : version == 7 ? 38
                                                         : 20);
  const std::size_t name_end = block_at + block_size - 2;
  for (std::size_t at = name_at; at + 2 <= name_end; at += 2) {
    if (item.U16(at) != 0) continue;
    Text name = Utf16(item.Bytes(name_at, at - name_at));
    if (!IsPlainName(name)) return std::nullopt;
    return name;
  }
  return std::nullopt;
}

// "X:\" and then the names of the items after the drive, or nothing when any
// item is not a file or folder with a readable long name.
std::optional<Text> FileSystemPath(const std::vector<Region>& items) {
  std::optional<Text> path = DriveRoot(items[1]);
  for (std::size_t i = 2; path && i < items.size(); ++i) {
    const std::optional<Text> name = FileEntryName(items[i]);
    if (!name) return std::nullopt;
    if (i > 2) *path += u'\\';
    *path += *name;
  }
  return path;
}

void ReadIdList(const Region& list, ShortcutFile& file) {
  std::vector<Region> items;
  for (std::size_t at = 0;;) {
    if (!list.Has(at, 2)) Fail(u"the target's item list has no end");
    const std::size_t item_size = list.U16(at);
    if (item_size == 0) break;
    if (item_size < 2) Fail(u"an item of the target's item list is smaller than its size field");
    items.push_back(list.Sub(at, item_size, u"an item of the target's item list"));
    at += item_size;
  }
  file.id_list = ShortcutFile::IdList::kShellNamespace;
  if (items.empty()) return;  // the desktop itself
  if (IsRootFolder(items[0], kMyComputerClsid)) {
    if (items.size() < 2 || !DriveRoot(items[1])) return;
    file.id_list = ShortcutFile::IdList::kFileSystem;
    file.id_list_path = FileSystemPath(items);
  } else if (IsRootFolder(items[0], kNetworkPlacesClsid) ||
             (ItemType(items[0]) & kItemClassMask) == kNetworkClass) {
    file.id_list = ShortcutFile::IdList::kFileSystem;
  }
}

// --- link information ------------------------------------------------------

struct PathText {
  Text text;
  bool ansi = false;  // some of it came from ANSI bytes
};

PathText TextAt(const Region& region, std::size_t offset, std::size_t first_data, bool unicode) {
  if (offset < first_data) Fail(u"a text's offset points into the header of " + region.name());
  if (unicode) return {region.UnicodeTextAt(offset), false};
  Text text = region.AnsiTextAt(offset);
  const bool ansi = !text.empty();
  return {std::move(text), ansi};
}

void ReadLinkInfo(const Region& info, ShortcutFile& file) {
  const std::size_t header_size = info.U32(4);
  if (header_size < kLinkInfoHeaderSize || header_size > info.size()) {
    Fail(u"the link information's header size does not fit it");
  }
  const std::uint32_t flags = info.U32(8);
  if (!(flags & (kVolumeIdAndLocalBasePath | kCommonNetworkRelativeLink))) return;
  // Headers written with Unicode forms of the paths carry two more offsets.
  const bool unicode_offsets = header_size >= kLinkInfoHeaderWithUnicode;
  const auto optional_offset = [&](std::size_t field) -> std::uint32_t {
    return unicode_offsets ? info.U32(field) : 0;
  };
  const std::uint32_t suffix_unicode_at = optional_offset(0x20);
  const PathText suffix = suffix_unicode_at != 0
                              ? TextAt(info, suffix_unicode_at, header_size, true)
                              : TextAt(info, info.U32(0x18), header_size, false);

  if (flags & kVolumeIdAndLocalBasePath) {
    const std::size_t volume_at = info.U32(0x0C);
    if (volume_at < header_size) Fail(u"the volume id lies inside the link information's header");
    const std::size_t volume_size = info.U32(volume_at);
    if (volume_size <= kVolumeIdHeaderSize) Fail(u"the volume id is smaller than its own fields");
    info.Sub(volume_at, volume_size, u"the volume id");
    const std::uint32_t base_unicode_at = optional_offset(0x1C);
    const PathText base = base_unicode_at != 0 ? TextAt(info, base_unicode_at, header_size, true)
                                               : TextAt(info, info.U32(0x10), header_size, false);
    file.local_path = base.text + suffix.text;
    file.ansi.local_path = base.ansi || suffix.ansi;
  }

  if (flags & kCommonNetworkRelativeLink) {
    const std::size_t link_at = info.U32(0x14);
    if (link_at < header_size) Fail(u"the network link lies inside the link information's header");
    const std::size_t link_size = info.U32(link_at);
    if (link_size < kNetworkLinkHeaderSize)
      Fail(u"the network link is smaller than its own fields");
    const Region link = info.Sub(link_at, link_size, u"the network link");
    const std::uint32_t link_flags = link.U32(4);
    const std::size_t net_name_at = link.U32(8);
    // Offsets beyond the basic fields announce the Unicode offsets after them.
    const bool link_unicode = net_name_at > kNetworkLinkHeaderSize;
    const std::size_t link_header = link_unicode ? 0x1C : kNetworkLinkHeaderSize;
    const auto name_at = [&](std::size_t ansi_field, std::size_t unicode_field) {
      const std::uint32_t unicode_at = link_unicode ? link.U32(unicode_field) : 0;
      return unicode_at != 0 ? TextAt(link, unicode_at, link_header, true)
                             : TextAt(link, link.U32(ansi_field), link_header, false);
    };
    PathText name = name_at(0x08, 0x14);
    if (name.text.empty() && (link_flags & kValidDevice)) name = name_at(0x0C, 0x18);
    Text path = name.text;
    if (!suffix.text.empty()) {
      if (!path.empty() && path.back() != u'\\') path += u'\\';
      path += suffix.text;
    }
    file.network_path = std::move(path);
    file.ansi.network_path = name.ansi || suffix.ansi;
  }
}

// --- the whole file ----------------------------------------------------------

// The string data: description, relative path, working folder, arguments,
// icon location, each present when its flag is set. Returns where it ends.
std::size_t ReadStrings(const Region& whole, std::size_t at, std::uint32_t flags,
                        ShortcutFile& file) {
  const bool unicode = flags & kIsUnicode;
  const std::pair<std::uint32_t, std::optional<Text> ShortcutFile::*> strings[] = {
      {kHasName, &ShortcutFile::description},
      {kHasRelativePath, &ShortcutFile::relative_path},
      {kHasWorkingDir, &ShortcutFile::working_dir},
      {kHasArguments, &ShortcutFile::arguments},
      {kHasIconLocation, &ShortcutFile::icon_location},
  };
  for (const auto& [flag, field] : strings) {
    if (!(flags & flag)) continue;
    const std::size_t count = whole.U16(at);
    const auto text = whole.Bytes(at + 2, count * (unicode ? 2 : 1));
    file.*field = unicode ? Utf16(text) : Latin1(text);
    if (!unicode && count > 0) file.ansi.string_data = true;
    at += 2 + text.size();
  }
  return at;
}

// The extra data blocks up to the terminal one; `darwin_block` tells whether
// an installer block was among those read.
void ReadExtraData(const Region& whole, std::size_t at, ShortcutFile& file, bool& darwin_block) {
  for (;;) {
    if (!whole.Has(at, 4)) Fail(u"the file ends before the end of its extra data");
    const std::size_t block_size = whole.U32(at);
    if (block_size < 4) return;  // the terminal block
    if (block_size < 8) Fail(u"an extra data block is smaller than its own header");
    const Region block = whole.Sub(at, block_size, u"an extra data block");
    const std::uint32_t signature = block.U32(4);
    if (signature == kEnvironmentSignature || signature == kDarwinSignature) {
      if (block_size < kTargetBlockSize) Fail(u"a target block is smaller than its fields");
    }
    if (signature == kEnvironmentSignature && !file.environment_target) {
      const Text unicode_target = UnicodeField(block.Bytes(8 + kTargetAnsiBytes, 520));
      if (!unicode_target.empty()) {
        file.environment_target = unicode_target;
      } else {
        file.environment_target = AnsiField(block.Bytes(8, kTargetAnsiBytes));
        file.ansi.environment_target = !file.environment_target->empty();
      }
    }
    if (signature == kDarwinSignature) darwin_block = true;
    at += block_size;
  }
}

ShortcutFile Read(std::span<const std::uint8_t> bytes) {
  const Region whole(bytes, u"the file");
  if (bytes.size() < kHeaderSize) Fail(u"the file is shorter than a shortcut's header");
  if (whole.U32(0) != kHeaderSize) Fail(u"the header's size is not that of a shortcut");
  const auto clsid = whole.Bytes(4, kShellLinkClsid.size());
  if (!std::equal(clsid.begin(), clsid.end(), kShellLinkClsid.begin())) {
    Fail(u"the header names another class than a shell link");
  }
  const std::uint32_t flags = whole.U32(0x14);
  ShortcutFile file;
  std::size_t at = kHeaderSize;

  if (flags & kHasLinkTargetIdList) {
    const std::size_t list_size = whole.U16(at);
    ReadIdList(whole.Sub(at + 2, list_size, u"the target's item list"), file);
    at += 2 + list_size;
  }

  if (flags & kHasLinkInfo) {
    const std::size_t info_size = whole.U32(at);
    if (info_size < kLinkInfoHeaderSize) Fail(u"the link information is smaller than its header");
    const Region info = whole.Sub(at, info_size, u"the link information");
    // The flag that says to ignore the link information still leaves it in
    // the file, so it is stepped over either way.
    if (!(flags & kForceNoLinkInfo)) ReadLinkInfo(info, file);
    at += info_size;
  }

  // The strings and the extra data come after the parts that say where the
  // target is. A count that runs past the file there (seen in shortcuts
  // collected in the wild) leaves those parts standing.
  bool darwin_block = false;
  try {
    at = ReadStrings(whole, at, flags, file);
    ReadExtraData(whole, at, file, darwin_block);
  } catch (Unreadable& rest) {
    file.rest_unread_why = std::move(rest.why);
  }
  const bool environment_unread = (flags & kHasExpString) && !file.environment_target;
  if (file.rest_unread_why.empty() && environment_unread) {
    Fail(u"the target is said to be in an environment block that is not there");
  }
  file.promised_block_unread = !file.rest_unread_why.empty() &&
                               (environment_unread || ((flags & kHasDarwinId) && !darwin_block));
  file.advertised = (flags & kHasDarwinId) || darwin_block;
  file.readable = true;
  return file;
}

}  // namespace

ShortcutFile ReadShortcutFile(std::span<const std::uint8_t> bytes) {
  try {
    return Read(bytes);
  } catch (Unreadable& unreadable) {
    ShortcutFile file;
    file.unreadable_why = std::move(unreadable.why);
    return file;
  }
}

}  // namespace ostrevane
