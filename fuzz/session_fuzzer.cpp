// Fuzzes a whole session of the portable program: random folder listings go
// through the scan, then random selection commands, ticks and deletion passes
// run against a test-double shell, with commands also run from the event pump
// in the middle of a pass.
//
// Invariants checked after every step:
//   - keys are unique, and every row's key decodes to the root and the name
//     the row came from, with the right type;
//   - the shell is only ever handed an entry whose row is checked at that
//     moment, by its exact path;
//   - the rows a pass removes are exactly the entries the shell moved.
#include <cstdint>
#include <cstdlib>
#include <map>
#include <set>

#include "catalogue/entry_list.h"
#include "catalogue/start_menu.h"
#include "window_rules/deletion.h"
#include "window_rules/selection.h"
#include "support/fakes.h"
#include "fuzz_input.h"

namespace ostrevane {
namespace {

using fuzzing::Input;

constexpr char16_t kCurrentRoot[] = u"C:\\Users\\fuzz\\Programs";
constexpr char16_t kAllRoot[] = u"C:\\ProgramData\\Programs";

Text FlipCase(Text name) {
  for (char16_t& c : name) {
    if (c >= u'a' && c <= u'z')
      c = static_cast<char16_t>(c - 32);
    else if (c >= u'A' && c <= u'Z')
      c = static_cast<char16_t>(c + 32);
  }
  return name;
}

Text MakeName(Input& in, const std::vector<Text>& earlier) {
  const std::uint8_t kind = in.Byte();
  if (!earlier.empty() && kind % 5 == 0) {  // a namesake, sometimes in other case
    Text name = earlier[in.Byte() % earlier.size()];
    return kind & 0x40 ? FlipCase(name) : name;
  }
  static constexpr char16_t kPalette[] = u"aB.z lnkLNK-_()É日Д?*\\";
  const std::size_t length = (kind & 0x20) ? in.Byte() + 200u : in.Byte() % 12;
  Text name;
  for (std::size_t i = 0; i < length && !in.empty(); ++i) {
    const std::uint8_t pick = in.Byte();
    if (pick < 200)
      name += kPalette[pick % (sizeof(kPalette) / sizeof(char16_t) - 1)];
    else
      name += static_cast<char16_t>(in.Unit());  // anything, lone surrogates too
  }
  switch (kind % 4) {
    case 0:
      name += u".lnk";
      break;
    case 1:
      name += u".LnK";
      break;
    default:
      break;
  }
  return name;
}

struct Origin {
  bool folder;
  Text name;
};

// The shell as a test double that checks every request against the list.
class CheckingRecycler : public Recycler {
 public:
  CheckingRecycler(EntryList& list, Input& in) : list_(list), in_(in) {}
  std::set<Text> moved_keys;  // keys of the entries moved in this pass
  std::set<Text> gone;        // paths no longer on disk

  std::optional<NotMoved> Inspect(const Text&) override { return std::nullopt; }
  std::optional<NotMoved> Recycle(const Text& path) override {
    const Text key = KeyOf(path);
    // Only an entry whose row is checked right now may reach the shell.
    bool checked = false;
    for (std::size_t p = 1; p <= list_.Size(); ++p) {
      if (list_.Entry(p).key == key) checked = list_.Entry(p).checked;
    }
    CHECK(checked);
    const std::uint8_t outcome = in_.Byte() % 8;
    if (outcome == 0) return NotMoved{NotMoved::Why::kMayNotRemove, Text()};
    if (outcome == 1) return NotMoved{NotMoved::Why::kStillThere, Text()};
    gone.insert(path);
    moved_keys.insert(key);
    return std::nullopt;
  }

 private:
  static Text KeyOf(const Text& path) {
    const Text current = Text(kCurrentRoot) + u"\\";
    const Text all = Text(kAllRoot) + u"\\";
    if (path.rfind(current, 0) == 0) return u"C" + path.substr(current.size());
    CHECK(path.rfind(all, 0) == 0);
    return u"A" + path.substr(all.size());
  }
  EntryList& list_;
  Input& in_;
};

void CheckRows(const EntryList& list, const std::map<Text, Origin>& origins) {
  std::set<Text> keys;
  for (std::size_t p = 1; p <= list.Size(); ++p) {
    const StartMenuEntry row = list.Entry(p);
    CHECK(keys.emplace(row.key).second);
    const DecodedKey decoded = DecodeEntryKey(row.key);
    CHECK(decoded.relative_name == row.tag);
    CHECK(decoded.csidl == (row.key[0] == u'C' ? 2 : 23));
    const auto origin = origins.find(Text(row.key));
    CHECK(origin != origins.end());
    CHECK(origin->second.name == row.tag);
    CHECK(row.type == (origin->second.folder ? Text(kTypeFolder) : Text(kTypeShortcut)));
  }
}

void RunCommand(std::uint8_t which, SelectionContext& selection, testing::RecordingDialogs& dialogs,
                Input& in) {
  switch (which % 5) {
    case 0:
      SelectAll(selection);
      break;
    case 1:
      UnselectAll(selection);
      break;
    case 2:
    case 3: {
      Text text;
      const std::size_t length = in.Byte() % 4;
      for (std::size_t i = 0; i < length; ++i)
        text += static_cast<char16_t>(u"aBlnk. (É"[in.Byte() % 9]);
      dialogs.text_answers.push_back(text);
      if (which % 5 == 2)
        SelectContaining(selection);
      else
        SelectNotContaining(selection);
      break;
    }
    case 4:
      if (const std::size_t rows = selection.list.Count(); rows > 0) {
        const std::size_t p = 1 + in.Byte() % rows;
        selection.list.SetChecked(p, !selection.list.Checked(p));
      }
      break;
  }
}

class FuzzPump : public EventPump {
 public:
  std::function<void()> on_events;
  void DoEvents() override {
    if (on_events) on_events();
  }
};

}  // namespace
}  // namespace ostrevane

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace ostrevane;
  Input in(data, size);
  testing::FakeFolderService folders;
  testing::FakeFolderService::Listing current, all;
  std::vector<Text> names;
  std::map<Text, Origin> origins;  // key -> where the entry came from
  const auto fill = [&](testing::FakeFolderService::Listing& listing, char16_t letter) {
    const std::size_t subfolders = in.Byte() % 8, files = in.Byte() % 8;
    for (std::size_t i = 0; i < subfolders; ++i) {
      const Text name = MakeName(in, names);
      names.push_back(name);
      listing.subfolders.push_back(name);
      origins.emplace(Text(1, letter) + name, Origin{true, name});
    }
    for (std::size_t i = 0; i < files; ++i) {
      const Text name = MakeName(in, names);
      names.push_back(name);
      listing.files.push_back(name);
      if (IsShortcutName(name)) origins.emplace(Text(1, letter) + name, Origin{false, name});
    }
  };
  fill(current, u'C');
  fill(all, u'A');
  folders.SetRootListing(kCsidlPrograms, kCurrentRoot, current);
  folders.SetRootListing(kCsidlCommonPrograms, kAllRoot, all);

  EntryList list;
  try {
    ScanStartMenu(folders, list);
  } catch (const Failure&) {
    // A name handed out twice ends the scan; the rows before it stay.
  }
  CheckRows(list, origins);

  testing::RecordingDialogs dialogs;
  testing::RecordingButtons buttons;
  SelectionContext selection{list, dialogs, buttons, testing::kTitle};
  CheckingRecycler recycler(list, in);
  FuzzPump pump;
  DeletionContext deletion{list, dialogs, pump, folders, recycler, testing::kTitle};

  for (int round = 0; round < 12 && !in.empty(); ++round) {
    const std::uint8_t action = in.Byte();
    if (action % 3 != 0) {
      RunCommand(action / 3, selection, dialogs, in);
      continue;
    }
    // A deletion pass, with commands run from the pump now and then.
    std::set<Text> before;
    for (std::size_t p = 1; p <= list.Size(); ++p) before.emplace(list.Entry(p).key);
    recycler.moved_keys.clear();
    pump.on_events = [&] {
      const std::uint8_t b = in.Byte();
      if (b % 7 == 0) RunCommand(b / 7, selection, dialogs, in);
    };
    dialogs.yes_no_answers = {in.Byte() % 4 != 0};
    DeleteChecked(deletion);
    pump.on_events = nullptr;
    std::set<Text> after;
    for (std::size_t p = 1; p <= list.Size(); ++p) after.emplace(list.Entry(p).key);
    std::set<Text> removed;
    for (const Text& key : before) {
      if (!after.count(key)) removed.insert(key);
    }
    CHECK(removed == recycler.moved_keys);
    CheckRows(list, origins);
  }
  return 0;
}
