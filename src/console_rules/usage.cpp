#include "console_rules/usage.h"

// Generated from cmake/version.h.in into the build's own folder.
#include "console_rules/version.h"

namespace ostrevane::console {
namespace {

// The project's version text, as UTF-16.
#define OSTREVANE_WIDEN_(text) u##text
#define OSTREVANE_WIDEN(text) OSTREVANE_WIDEN_(text)
constexpr char16_t kVersion[] = OSTREVANE_WIDEN(OSTREVANE_VERSION_TEXT);

constexpr char16_t kHelp[] =
    u"Usage: ostrevane COMMAND [OPTIONS]\n"
    u"\n"
    u"Lists, previews and recycles the entries (subfolders and .lnk shortcuts)\n"
    u"at the top of the Start Menu's Programs folders: the current user's and\n"
    u"the all users', or every user profile's. It never asks a question and\n"
    u"never deletes for good: an entry goes to the Recycle Bin, or stays and is\n"
    u"named with why.\n"
    u"\n"
    u"Commands:\n"
    u"  list      Shows the selected entries (every entry without a selector).\n"
    u"            Changes nothing.\n"
    u"  recycle   Recycles the selected entries with --yes; without it, only\n"
    u"            shows what it would recycle. Needs at least one selector.\n"
    u"  help      Shows this text.\n"
    u"  version   Shows the version.\n"
    u"\n"
    u"Scope:\n"
    u"  --root user|all-users|both|profiles|machine\n"
    u"                 The Programs folders to work on (both): the running\n"
    u"                 account's, the all users', both; every user profile's\n"
    u"                 own (profiles, from the machine's profile list); or\n"
    u"                 every profile's and the all users' (machine). Under the\n"
    u"                 system account: all-users, profiles or machine.\n"
    u"\n"
    u"Selectors (an entry is selected when every selector given holds):\n"
    u"  --all                  Every entry.\n"
    u"  --contains TEXT        The entry's own name contains TEXT, ignoring case:\n"
    u"                         a folder's name, a shortcut's file name without\n"
    u"                         \".lnk\" (never the \" (Current User)\" marks).\n"
    u"  --not-contains TEXT    The entry's own name does not contain TEXT.\n"
    u"  --name NAME            The entry's own name is NAME, ignoring case. May\n"
    u"                         be repeated: any of them. A NAME that matches no\n"
    u"                         entry is an error.\n"
    u"  --broken               Dead entries (status missing): a shortcut whose\n"
    u"                         target is not there on a fixed drive that\n"
    u"                         answers, or whose installer product is not\n"
    u"                         installed; a folder whose shortcuts are all dead,\n"
    u"                         holding nothing else but desktop.ini, web links\n"
    u"                         and empty folders. Network, removable and\n"
    u"                         unknown targets are never broken.\n"
    u"  --empty                Folders that hold no file at any depth but\n"
    u"                         desktop.ini. A folder that cannot be read, holds\n"
    u"                         a link, or is nested deeper than 32 levels is\n"
    u"                         not empty.\n"
    u"  --kind shortcut|folder Only entries of this kind.\n"
    u"No rule selects Windows' own folders (the Startup folders, and folders\n"
    u"whose desktop.ini names them from Windows' resources, such as\n"
    u"Accessibility or Administrative Tools); --name naming one is an error.\n"
    u"  --include-system       Lets the selectors take Windows' own folders too.\n"
    u"\n"
    u"Other options:\n"
    u"  --yes            recycle: recycle for real.\n"
    u"  --dry-run        recycle: only show what would be recycled (the default).\n"
    u"  --skip-refused   recycle: report the entries refused before the shell is\n"
    u"                   asked (links, paths too long for the Recycle Bin,\n"
    u"                   entries another program holds, rights) and let the\n"
    u"                   exit code come from the rest. Includes --skip-denied.\n"
    u"  --skip-denied    recycle: when this account may not remove some selected\n"
    u"                   entries, recycle the others and report those refused.\n"
    u"  --allow-absent   A --name that matches no entry is no error.\n"
    u"  --format text|tsv|json   The output's format (text). Text ends with one\n"
    u"                   summary line. TSV has a header line; in its fields \\,\n"
    u"                   tab, line feed and carriage return are \\\\, \\t, \\n, \\r.\n"
    u"                   JSON is one document, in ASCII, with every entry.\n"
    u"A value may also be given as --option=VALUE, and must be so given when it\n"
    u"begins with \"--\". No option may be given twice, but --name. Commands,\n"
    u"option names and the values above ignore letter case; options are written\n"
    u"with \"--\", never \"/\". /?, -?, -h and --help show this text.\n"
    u"\n"
    u"Output columns (text and TSV): root, kind (text: \"system folder\" for\n"
    u"Windows' own), name, status (ok, missing, unreachable or unknown; a\n"
    u"folder holding no shortcut has none), target, action (none,\n"
    u"would-recycle, recycled, failed, refused, gone or held) and reason; TSV\n"
    u"ends with system (yes or no). gone: no longer there when its turn came\n"
    u"(another run took it); held: would have gone, but exit code 4 stopped the\n"
    u"run. Text and TSV lines are written as each entry is decided; text ends\n"
    u"with one summary line and JSON is one document, whatever the exit code.\n"
    u"\n"
    u"Exit codes:\n"
    u"  0  Done, or nothing selected. list always ends with 0, 2 or 9.\n"
    u"  1  A preview found entries it would recycle.\n"
    u"  2  A wrong call: nothing was done; the error output says what is wrong.\n"
    u"  3  Some selected entries were not recycled, each named with why; in a\n"
    u"     preview: none would be recycled, and some would be refused. Entries\n"
    u"     gone before their turn never count; refused ones not with\n"
    u"     --skip-refused.\n"
    u"  4  This account may not remove some selected entries: nothing was\n"
    u"     recycled. Start ostrevane as administrator, or add --skip-denied.\n"
    u"  9  An internal error; the error output describes it.\n"
    u"\n"
    u"Examples:\n"
    u"  Detection (exit code 1: broken shortcuts for all users to remove):\n"
    u"    ostrevane recycle --root all-users --broken\n"
    u"  Remediation (recycles them; exit code 0 when all went):\n"
    u"    ostrevane recycle --root all-users --broken --yes\n"
    u"  Every user's and the all users' dead shortcuts, as the system account:\n"
    u"    ostrevane recycle --root machine --broken --yes --skip-refused\n";

}  // namespace

const TextView kVersionText = kVersion;

Text HelpText() {
  Text text;
  for (char16_t unit : TextView(kHelp)) {
    if (unit == u'\n') text += u'\r';
    text += unit;
  }
  return text;
}

Text VersionLine() { return u"ostrevane " + Text(kVersionText) + u"\r\n"; }

}  // namespace ostrevane::console
