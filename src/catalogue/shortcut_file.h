#pragma once
// What a shortcut (.lnk) file says about its target, read from the file's bytes
// without the shell: the shell's own reader loses characters outside the ANSI
// code page and long paths under Wine, and on Windows it can reach out to the
// network while loading.

#include <cstdint>
#include <optional>
#include <span>

#include "base/text.h"

namespace ostrevane {

struct ShortcutFile {
  bool readable = false;                     // a shell link whose structures hold together
  Text unreadable_why{};                     // when not: what was wrong, in words
  bool advertised = false;                   // an installer's advertised feature (Darwin id)
  std::optional<Text> environment_target{};  // unexpanded, e.g. %ProgramFiles%\App\app.exe
  std::optional<Text> local_path{};          // from the link information
  std::optional<Text> network_path{};        // from the link information: \\server\share\...
  // From the target's item list, when it is a drive followed by plain file
  // and folder names; absent for anything else, never guessed.
  std::optional<Text> id_list_path{};
  enum class IdList { kNone, kFileSystem, kShellNamespace } id_list = IdList::kNone;
  std::optional<Text> description{}, relative_path{}, working_dir{}, arguments{}, icon_location{};
  // Texts read from bytes of the writer's ANSI code page. Such bytes are kept
  // as Latin-1 code units because that code page cannot be known here, so a
  // unit above 0x7F may stand for another character on the writer's machine.
  struct AnsiTexts {
    bool environment_target = false;
    bool local_path = false;
    bool network_path = false;
    bool string_data = false;  // description, relative path, working dir, arguments, icon
    bool operator==(const AnsiTexts&) const = default;
  } ansi{};
  // The item list and the link information read, but what follows them (the
  // strings or the extra data) did not: why, in words. What was read before
  // the fault stands, as the shell's own reader lets it stand.
  Text rest_unread_why{};
  // The flags promise an environment-variable target or an installer's
  // descriptor in the extra data, and that block was not read: the target
  // the other parts give may not be the one the shortcut opens.
  bool promised_block_unread = false;

  bool operator==(const ShortcutFile&) const = default;
};

// Reads a shortcut file. Never throws on bad input and never reads outside
// `bytes`; every size, offset and count the file gives is checked, so the work
// is bounded by the input's length. A file whose header, item list or link
// information does not hold together is not readable and says why; a fault
// after them leaves what was read, with rest_unread_why.
ShortcutFile ReadShortcutFile(std::span<const std::uint8_t> bytes);

}  // namespace ostrevane
