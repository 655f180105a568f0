#!/bin/sh
# Checks the fontconfig file that scripts/run and scripts/screenshot start
# Wine with: Wine's own fonts are found by name, text gets a sub-pixel order,
# and a sub-pixel order the user chose stays first.
set -u
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/../../scripts/lib/wine-look.sh"
if [ ! -f "$WINE_FONT_DIR/marlett.ttf" ]; then
  echo "SKIP: fonts-wine is not installed"
  exit 77
fi
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
expect() { # expect WHAT ACTUAL EXPECTED
  if [ "$2" = "$3" ]; then
    echo "ok: $1"
  else
    echo "FAILED: $1: got '$2', expected '$3'"
    failures=$((failures + 1))
  fi
}
file_of() { fc-match -f '%{file}' "$1"; }
first_rgba_of() { fc-match -f '%{rgba}' "$1" | cut -d, -f1; }

unset FONTCONFIG_FILE
expect "a relative name is made absolute" \
  "$(cd "$work" && use_wine_fonts wine-fonts.conf && echo "$FONTCONFIG_FILE")" \
  "$work/wine-fonts.conf"

unset FONTCONFIG_FILE
use_wine_fonts "$work/wine-fonts.conf"
expect "Marlett is Wine's" "$(file_of Marlett)" "$WINE_FONT_DIR/marlett.ttf"
expect "Tahoma is Wine's" "$(file_of Tahoma)" "$WINE_FONT_DIR/tahoma.ttf"
expect "RGB order where none is configured" "$(first_rgba_of 'Liberation Sans:bold')" 1
use_wine_fonts "$work/wine-fonts.conf"
expect "written again, it still includes the system's configuration" \
  "$(file_of 'Liberation Sans' 2>&1)" /usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf

cat >"$work/user.conf" <<'CONF'
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <include>/etc/fonts/fonts.conf</include>
  <match target="font"><edit name="rgba" mode="assign"><const>bgr</const></edit></match>
</fontconfig>
CONF
export FONTCONFIG_FILE="$work/user.conf"
use_wine_fonts "$work/wine-fonts.conf"
expect "the user's order comes first" "$(first_rgba_of 'Liberation Sans:bold')" 2
expect "with the user's configuration too, Marlett is Wine's" \
  "$(file_of Marlett)" "$WINE_FONT_DIR/marlett.ttf"

[ "$failures" -eq 0 ]
