#include "catalogue/entry_key.h"

#include "catalogue/folder_service.h"

namespace ostrevane {

char16_t RootLetter(Root root) { return root == Root::kCurrentUser ? u'C' : u'A'; }

int RootCsidl(Root root) {
  return root == Root::kCurrentUser ? kCsidlPrograms : kCsidlCommonPrograms;
}

Text MakeEntryKey(Root root, TextView match_name) {
  Text key(1, RootLetter(root));
  key.append(match_name);
  return key;
}

DecodedKey DecodeEntryKey(TextView key) {
  const Root root = (!key.empty() && key[0] == u'C') ? Root::kCurrentUser : Root::kAllUsers;
  return DecodedKey{root, RootCsidl(root), Text(key.empty() ? key : key.substr(1))};
}

}  // namespace ostrevane
