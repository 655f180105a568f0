#pragma once
// Entry keys: one root letter followed directly by the entry's own name.

#include "base/text.h"

namespace ostrevane {

enum class Root { kCurrentUser, kAllUsers };

struct DecodedKey {
  Root root;
  int csidl;           // shell special-folder id of the root
  Text relative_name;  // the entry's name inside its root
};

char16_t RootLetter(Root root);  // 'C' or 'A'
int RootCsidl(Root root);
Text MakeEntryKey(Root root, TextView match_name);
// Exactly "C" selects the current user; any other first character, lower-case
// "c" included, selects all users. An empty key decodes to all users with an
// empty name, which the deletion refuses.
DecodedKey DecodeEntryKey(TextView key);

}  // namespace ostrevane
