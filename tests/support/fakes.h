#pragma once
// Test doubles of the platform interfaces, shared by the portable tests, the
// benchmarks and the fuzz target.

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "catalogue/rows.h"
#include "window_rules/dialogs.h"
#include "catalogue/folder_service.h"
#include "window_rules/push_buttons.h"
#include "catalogue/recycler.h"
#include "catalogue/profiles.h"
#include "catalogue/shortcut_status.h"

namespace ostrevane::testing {

// The application title the tests hand to the commands.
inline constexpr char16_t kTitle[] = u"Ostrevane";

// Folders held in memory: a root per special-folder id, and per path the
// names of its subfolders and files in listing order.
class FakeFolderService : public FolderService {
 public:
  struct Listing {
    std::vector<Text> subfolders;
    std::vector<Text> files;
  };

  void SetRoot(int csidl, Text path) { roots_[csidl] = std::move(path); }
  Listing& At(const Text& path) { return folders_[path]; }
  // Makes `csidl` resolve to `path` and gives that folder the listing.
  void SetRootListing(int csidl, const Text& path, Listing listing) {
    SetRoot(csidl, path);
    folders_[path] = std::move(listing);
  }

  // Failure hooks: a description makes the operation fail with it.
  std::set<Text> links;                     // paths of the entries that are links
  std::map<Text, Text> identities;          // per path; otherwise the lower-cased path of a folder
  std::map<int, Text> fail_root;            // per csidl
  std::map<Text, Text> fail_open;           // per path
  std::set<Text> deny_open;                 // paths this account may not read
  std::optional<std::size_t> fail_at_item;  // the n-th name handed out (0-based) fails
  Text fail_item_description = u"The folder could not be read";

  int root_lookups = 0;
  std::vector<int> looked_up;

  Text RootPath(int csidl) override {
    ++root_lookups;
    looked_up.push_back(csidl);
    if (auto it = fail_root.find(csidl); it != fail_root.end()) throw Failure(it->second);
    auto it = roots_.find(csidl);
    if (it == roots_.end() || it->second.empty()) {
      throw Failure(u"The Start Menu Programs folder could not be found.");
    }
    return it->second;
  }

  std::unique_ptr<Folder> OpenFolder(const Text& path) override {
    if (auto it = fail_open.find(path); it != fail_open.end()) throw Failure(it->second);
    if (deny_open.contains(path)) throw Failure(u"Access is denied.", kSystemErrorAccessDenied);
    auto it = folders_.find(path);
    if (it == folders_.end()) throw Failure(u"Path not found");
    return std::make_unique<FakeFolder>(*this, path, it->second);
  }

  std::optional<Text> Identity(const Text& path) override {
    if (auto it = identities.find(path); it != identities.end()) return it->second;
    if (!folders_.contains(path)) return std::nullopt;
    return Lower(path);
  }

 private:
  class FakeFolder : public Folder {
   public:
    FakeFolder(FakeFolderService& owner, Text path, const Listing& listing)
        : owner_(owner), path_(std::move(path)), listing_(listing) {}
    void ForEachSubfolder(const NameVisitor& visit) override { Hand(listing_.subfolders, visit); }
    void ForEachFile(const NameVisitor& visit) override { Hand(listing_.files, visit); }
    void ForEachLink(const NameVisitor& visit) override {
      for (const auto* names : {&listing_.subfolders, &listing_.files}) {
        for (const Text& name : *names) {
          if (owner_.links.contains(path_ + u"\\" + name)) visit(name);
        }
      }
    }
    bool IsLink() const override { return owner_.links.contains(path_); }

   private:
    void Hand(const std::vector<Text>& names, const NameVisitor& visit) {
      for (const Text& name : names) {
        if (owner_.fail_at_item && *owner_.fail_at_item == owner_.items_handed_) {
          throw Failure(owner_.fail_item_description);
        }
        ++owner_.items_handed_;
        visit(name);
      }
    }
    FakeFolderService& owner_;
    Text path_;
    const Listing& listing_;
  };

  std::map<int, Text> roots_;
  std::map<Text, Listing> folders_;
  std::size_t items_handed_ = 0;
};

// Records every box; answers come from queues (Yes and empty text by default).
class RecordingDialogs : public Dialogs {
 public:
  struct Shown {
    enum class Kind { kErrorReport, kYesNo, kMessage, kInput } kind;
    Text text;
    Text caption;
  };

  std::vector<Shown> shown;
  std::vector<bool> yes_no_answers;  // consumed front to back; Yes when empty
  std::vector<Text> text_answers;    // consumed front to back; "" when empty
  std::function<void()> on_yes_no;   // runs while the question is "open"
  bool fail_error_report = false;
  std::optional<Text> fail_input;  // the input box fails with this description

  void ShowErrorReport(const Text& message) override {
    shown.push_back({Shown::Kind::kErrorReport, message, kErrorReportCaption});
    if (fail_error_report) throw Failure(u"The box could not be shown");
  }
  bool AskYesNo(const Text& question, const Text& caption) override {
    shown.push_back({Shown::Kind::kYesNo, question, caption});
    if (on_yes_no) on_yes_no();
    if (yes_no_answers.empty()) return true;
    const bool answer = yes_no_answers.front();
    yes_no_answers.erase(yes_no_answers.begin());
    return answer;
  }
  void ShowMessage(const Text& message, const Text& caption) override {
    shown.push_back({Shown::Kind::kMessage, message, caption});
  }
  Text AskText(const Text& prompt, const Text& caption) override {
    shown.push_back({Shown::Kind::kInput, prompt, caption});
    if (fail_input) throw Failure(*fail_input);
    if (text_answers.empty()) return Text();
    Text answer = text_answers.front();
    text_answers.erase(text_answers.begin());
    return answer;
  }

  std::vector<Text> ErrorReports() const {
    std::vector<Text> reports;
    for (const Shown& s : shown) {
      if (s.kind == Shown::Kind::kErrorReport) reports.push_back(s.text);
    }
    return reports;
  }
};

// The rows a command works on, passed through to a list, with one operation
// made to fail: its n-th call from arming on (0-based), or every call.
class FaultyRows : public Rows {
 public:
  enum class Operation {
    kAdd,
    kCount,
    kRowText,
    kRowKey,
    kChecked,
    kSetText,
    kSetType,
    kSetTag,
    kSetChecked,
    kRemove,
    kFindTag,
    kSetSorted,
    kSetSortKey
  };

  static constexpr std::size_t kEveryCall = static_cast<std::size_t>(-1);

  explicit FaultyRows(Rows& rows) : rows_(rows) {}

  Text description = u"The list operation failed";

  void Arm(Operation operation, std::size_t nth_call = 0) {
    armed_ = operation;
    fail_call_ = nth_call;
    calls_ = 0;
  }

  std::size_t Add(Text key, Text text) override {
    return Through(Operation::kAdd).Add(std::move(key), std::move(text));
  }
  std::size_t Count() const override { return Through(Operation::kCount).Count(); }
  Text RowText(std::size_t p) const override { return Through(Operation::kRowText).RowText(p); }
  Text RowKey(std::size_t p) const override { return Through(Operation::kRowKey).RowKey(p); }
  bool Checked(std::size_t p) const override { return Through(Operation::kChecked).Checked(p); }
  void SetText(std::size_t p, Text text) override {
    Through(Operation::kSetText).SetText(p, std::move(text));
  }
  void SetType(std::size_t p, Text type) override {
    Through(Operation::kSetType).SetType(p, std::move(type));
  }
  void SetTag(std::size_t p, Text tag) override {
    Through(Operation::kSetTag).SetTag(p, std::move(tag));
  }
  void SetChecked(std::size_t p, bool checked) override {
    Through(Operation::kSetChecked).SetChecked(p, checked);
  }
  void Remove(std::size_t p) override { Through(Operation::kRemove).Remove(p); }
  std::optional<std::size_t> FindTag(TextView tag, std::size_t from) const override {
    return Through(Operation::kFindTag).FindTag(tag, from);
  }
  void SetSorted(bool sorted) override { Through(Operation::kSetSorted).SetSorted(sorted); }
  void SetSortKey(int column) override { Through(Operation::kSetSortKey).SetSortKey(column); }

 private:
  // The list, once the operation has been let through.
  Rows& Through(Operation operation) const {
    if (armed_ == operation) {
      const std::size_t call = calls_++;
      if (fail_call_ == kEveryCall || call == fail_call_) throw Failure(description);
    }
    return rows_;
  }

  Rows& rows_;
  std::optional<Operation> armed_;
  std::size_t fail_call_ = 0;
  mutable std::size_t calls_ = 0;
};

// Records every value set on a push button; can make the setting fail.
class RecordingButtons : public PushButtonValues {
 public:
  struct Set {
    PushButtonId button;
    std::int32_t value;
    bool operator==(const Set&) const = default;
  };

  std::vector<Set> set;
  std::optional<Text> fail;  // every setting fails with this description

  void SetValue(PushButtonId button, std::int32_t value) override {
    set.push_back({button, value});
    if (fail) throw Failure(*fail);
  }
};

// The system as the shortcut rule sees it: variables by name, volumes by root
// (fixed unless given) and an answer per path (absent unless given). Records
// every path probed, in order.
class FakeTargetProbe : public TargetProbe {
 public:
  std::map<Text, Text> variables;  // without the percent signs
  std::map<Text, Volume> volumes;
  std::map<Text, Answer> answers;
  std::vector<Text> probed;

  // Replaces each %NAME%; a name without a value gives nothing, and a lone
  // percent sign stays as it is.
  std::optional<Text> ExpandEnvironment(const Text& text) override {
    Text expanded;
    std::size_t at = 0;
    for (std::size_t open; (open = text.find(u'%', at)) != Text::npos;) {
      const std::size_t close = text.find(u'%', open + 1);
      if (close == Text::npos) break;
      const auto value = variables.find(text.substr(open + 1, close - open - 1));
      if (value == variables.end()) return std::nullopt;
      expanded += text.substr(at, open - at) + value->second;
      at = close + 1;
    }
    return expanded + text.substr(at);
  }
  Volume VolumeOf(const Text& root) override {
    const auto it = volumes.find(root);
    return it == volumes.end() ? Volume::kFixed : it->second;
  }
  Answer Probe(const Text& path) override {
    probed.push_back(path);
    const auto it = answers.find(path);
    return it == answers.end() ? Answer{Presence::kAbsent, {}} : it->second;
  }

  // Windows Installer: the descriptor of each advertised shortcut by its
  // path (undecodable unless given), each product's state (not installed
  // unless given), and the products asked about with the account asked for.
  std::map<Text, Advertised> advertised;
  std::map<Text, ProductAnswer> products;
  std::vector<std::pair<Text, Text>> product_queries;
  AdvertisedReading ReadAdvertised(const Text& shortcut_path) override {
    const auto it = advertised.find(shortcut_path);
    if (it == advertised.end()) return {std::nullopt, u"the descriptor does not decode"};
    return {it->second, {}};
  }
  ProductAnswer QueryProduct(const Text& product, const Text& user_sid) override {
    product_queries.emplace_back(product, user_sid);
    const auto it = products.find(product);
    return it == products.end() ? ProductAnswer{Product::kNotInstalled, {}} : it->second;
  }
  Text ComponentPath(const Text& product, const Text& component) override {
    return u"C:\\Installed\\" + product + u"\\" + component;
  }
};

// The profile list as the registry would hold it: in list order, each with
// its image path, its hive's User Shell Folders when loaded, and its account.
class FakeProfileSource : public ProfileSource {
 public:
  struct Profile {
    Text sid;
    std::optional<Text> image_path;
    std::optional<std::map<Text, Text>> hive;  // loaded: its User Shell Folders
    std::optional<Text> account;               // DOMAIN\name
  };
  std::vector<Profile> profiles;
  Text running_sid = u"S-1-5-21-1-2-3-1000";

  std::vector<Text> ProfileSids() override {
    std::vector<Text> sids;
    for (const Profile& profile : profiles) sids.push_back(profile.sid);
    return sids;
  }
  std::optional<Text> ProfileImagePath(const Text& sid) override { return Find(sid).image_path; }
  bool HiveLoaded(const Text& sid) override { return Find(sid).hive.has_value(); }
  std::optional<Text> UserShellFolder(const Text& sid, const Text& name) override {
    const Profile& profile = Find(sid);
    if (!profile.hive) return std::nullopt;
    const auto it = profile.hive->find(name);
    return it == profile.hive->end() ? std::nullopt : std::optional<Text>(it->second);
  }
  std::optional<Text> AccountName(const Text& sid) override { return Find(sid).account; }
  Text RunningSid() override { return running_sid; }

 private:
  const Profile& Find(const Text& sid) const {
    for (const Profile& profile : profiles) {
      if (profile.sid == sid) return profile;
    }
    throw Failure(u"no such profile");
  }
};

}  // namespace ostrevane::testing
