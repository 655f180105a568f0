// Fuzzes the shortcut reader and the status rule together. The first byte
// picks the shape of the file:
//   - raw: the rest of the input is the file;
//   - built: the input chooses the contents of a well-formed file (item list, link
//     information, strings, blocks) made by the tests' builder, then overwrites
//     some of its bytes, so that mutations start deep inside the structures
//     that a raw file rarely gets past the header to reach.
// The system's answers (variables, volume kinds, presence) come from the input
// too.
//
// Invariants checked:
//   - a file is readable exactly when it gives no reason why not;
//   - an untouched built file is readable and gives back the local path it was
//     built with;
//   - a target is missing only when its volume was fixed, the volume's root
//     answered present first, and then the target itself answered absent;
//   - ok only for a target the probe found present; a reason for every
//     status but ok; an unknown without a target probed nothing.
#include <cstdint>
#include <cstdlib>

#include "catalogue/shortcut_file.h"
#include "catalogue/shortcut_status.h"
#include "support/shortcut_bytes.h"
#include "fuzz_input.h"

namespace ostrevane {
namespace {

using fuzzing::Input;

using namespace testing;

// Texts from pieces that matter to the reader and the rule.
Text MakeText(Input& in) {
  static constexpr const char16_t* kPieces[] = {u"C:\\",
                                                u"\\\\srv\\share",
                                                u"\\\\?\\",
                                                u"\\\\?\\UNC\\",
                                                u"%ProgramFiles%",
                                                u"%Nope%",
                                                u"App",
                                                u"\\",
                                                u"app.exe",
                                                u"é",
                                                u"日本",
                                                u"😀",
                                                u"?",
                                                u":",
                                                u"..",
                                                u"/",
                                                u"Z:",
                                                u"%"};
  Text text;
  for (std::size_t n = in.Byte() % 6; n > 0; --n) {
    text += kPieces[in.Byte() % (sizeof(kPieces) / sizeof(kPieces[0]))];
  }
  return text;
}

Items MakeIdList(Input& in) {
  switch (in.Byte() % 4) {
    case 0: {
      Items items{RootFolderItem(kMyComputerClsid), DriveItem(u"C:\\")};
      for (std::size_t n = in.Byte() % 4; n > 0; --n) {
        items.push_back(FileEntryItem(MakeText(in), in.Byte() & 1, 3 + in.Byte() % 8));
      }
      return items;
    }
    case 1:
      return {RootFolderItem(kAppsFolderClsid), Bytes{0x04, 0x00, in.Byte(), in.Byte()}};
    case 2:
      return {NetworkShareItem(MakeText(in))};
    default: {
      Bytes item(3 + in.Byte() % 40);
      for (auto& b : item) b = in.Byte();
      PutU16(item, 0, static_cast<std::uint32_t>(item.size()));
      return {item};
    }
  }
}

struct Built {
  Bytes bytes;
  std::optional<Text> local_path;  // as the reader must give it back
  bool touched = false;
};

Built Build(Input& in) {
  ShortcutContents contents;
  const std::uint8_t choice = in.Byte();
  std::optional<Text> local_path;
  if (choice & 0x01) contents.id_list = MakeIdList(in);
  if (choice & 0x02) {
    LinkInfoContents info;
    const std::uint8_t which = in.Byte();
    info.unicode = which & 0x08;
    if (which & 0x01) info.local_base_path = MakeText(in);
    if (which & 0x02) info.net_name = MakeText(in);
    if (which & 0x04) info.device_name = MakeText(in);
    info.common_path_suffix = MakeText(in);
    if (info.local_base_path) {
      const Text path = *info.local_base_path + info.common_path_suffix;
      const Bytes ansi = AnsiBytes(path);
      local_path = info.unicode ? path : Text(ansi.begin(), ansi.end());
    }
    contents.link_info = info;
  }
  contents.unicode_strings = choice & 0x04;
  if (choice & 0x08) contents.environment = TargetBlock{MakeText(in), MakeText(in)};
  if (choice & 0x10) contents.darwin = TargetBlock{MakeText(in), MakeText(in)};
  if (choice & 0x20) contents.relative_path = MakeText(in);
  if (choice & 0x40) contents.working_dir = MakeText(in);
  if (choice & 0x80) contents.add_flags = in.Unit();
  Built built{ShortcutBytes(contents), local_path};
  built.touched = choice & 0x80;
  for (std::size_t n = in.Byte() % 8; n > 0; --n) {
    const std::size_t at = in.Unit() % built.bytes.size();
    built.bytes[at] = in.Byte();
    built.touched = true;
  }
  return built;
}

// Answers from the input; remembers what it said, in order.
class FuzzProbe : public TargetProbe {
 public:
  explicit FuzzProbe(Input& in) : in_(in) {}
  std::optional<Volume> volume;
  std::vector<std::pair<Text, Presence>> answers;

  std::optional<Text> ExpandEnvironment(const Text& text) override {
    switch (in_.Byte() % 3) {
      case 0:
        return std::nullopt;
      case 1:
        return text;
      default:
        return u"C:\\Program Files" + text;
    }
  }
  Volume VolumeOf(const Text&) override {
    volume = static_cast<Volume>(in_.Byte() % 5);
    return *volume;
  }
  Answer Probe(const Text& path) override {
    const auto presence = static_cast<Presence>(in_.Byte() % 4);
    answers.emplace_back(path, presence);
    return {presence, u"the system's words"};
  }
  std::optional<Product> product;
  AdvertisedReading ReadAdvertised(const Text&) override {
    if (in_.Byte() & 1) return {std::nullopt, u"the descriptor does not decode"};
    return {Advertised{u"{P}", u"F", u"{C}"}, {}};
  }
  ProductAnswer QueryProduct(const Text&, const Text&) override {
    product = static_cast<Product>(in_.Byte() % 3);
    return {*product, u"the installer's words"};
  }
  Text ComponentPath(const Text&, const Text&) override { return u"C:\\App\\app.exe"; }

 private:
  Input& in_;
};

}  // namespace
}  // namespace ostrevane

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace ostrevane;
  Input in(data, size);
  const bool built_shape = in.Byte() & 1;
  Built built;
  if (built_shape) {
    built = Build(in);
  } else {
    built.bytes = in.Rest();
    built.touched = true;
  }

  const ShortcutFile file = ReadShortcutFile(built.bytes);
  CHECK(file.readable == file.unreadable_why.empty());
  if (!built.touched) {
    CHECK(file.readable);
    CHECK(file.local_path == built.local_path);
  }

  FuzzProbe probe(in);
  const bool own_profile = in.Byte() & 1;
  const ShortcutTarget judged = JudgeShortcut(file, {u"C:\\Menu\\s.lnk", own_profile, {}}, probe);
  CHECK(!judged.reason.empty() || judged.status == ShortcutStatus::kOk);
  CHECK(judged.reason.empty() || judged.status != ShortcutStatus::kOk ||
        !file.rest_unread_why.empty());
  if (file.advertised || file.promised_block_unread) CHECK(probe.answers.empty() && !probe.volume);
  if (judged.status == ShortcutStatus::kMissing && file.advertised) {
    CHECK(probe.product == TargetProbe::Product::kNotInstalled);
  } else if (judged.status == ShortcutStatus::kMissing) {
    CHECK(probe.volume == TargetProbe::Volume::kFixed);
    CHECK(probe.answers.size() == 2);
    CHECK(probe.answers[0].first.size() == 3 && probe.answers[0].first[1] == u':');
    CHECK(probe.answers[0].second == TargetProbe::Presence::kPresent);
    CHECK(probe.answers[1].first == judged.target);
    CHECK(probe.answers[1].second == TargetProbe::Presence::kAbsent);
  }
  if (judged.status == ShortcutStatus::kOk && !file.advertised) {
    CHECK(!probe.answers.empty() && probe.answers.back().first == judged.target);
    CHECK(probe.answers.back().second == TargetProbe::Presence::kPresent);
  }
  if (judged.status == ShortcutStatus::kUnknown && judged.target.empty()) {
    CHECK(probe.answers.empty() && !probe.volume);
  }
  return 0;
}
