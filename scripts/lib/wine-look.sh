# shellcheck shell=sh
# What Wine needs to draw the window as Windows does. Sourced by the scripts
# that open the window (run, screenshot).
#
# Wine as Debian packages it never loads the fonts that fonts-wine puts in
# /usr/share/wine/fonts: a +font trace shows "Marlett" resolved to Liberation
# Mono, so the caption buttons show the letters 0, 1 and r, and Tahoma (the
# caption's font) is missing too. Wine does load every font that fontconfig
# lists, and takes each font's anti-aliasing from fontconfig: with no sub-pixel
# order configured, the list's ClearType text is drawn in grey and the accent
# of a 9-point capital fades to a faint dot.
#
# use_wine_fonts writes a fontconfig file that adds Wine's font folder to the
# user's own configuration and, unless that configuration names a sub-pixel
# order, uses RGB (the order Windows assumes); then it exports FONTCONFIG_FILE.
# The rendering applies only to the Wine processes started from this shell.
# Wine itself records the fonts it found in the prefix's font list, so other
# programs in the prefix then find Marlett and Tahoma as well, as they would
# on Windows.

# shellcheck disable=SC2034  # read by the scripts that source this file
WINE_LOOK_PACKAGES="fonts-wine fonts-liberation"
WINE_FONT_DIR=/usr/share/wine/fonts

# use_wine_fonts FILE: writes the configuration to FILE and exports it.
use_wine_fonts() {
  case "$1" in
    /*) conf="$1" ;;
    *) conf="$PWD/$1" ;;
  esac
  base="${FONTCONFIG_FILE:-/etc/fonts/fonts.conf}"
  [ "$base" = "$conf" ] && base=/etc/fonts/fonts.conf
  mkdir -p "$(dirname "$conf")"
  cat >"$conf.new" <<EOF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <include ignore_missing="yes">$base</include>
  <dir>$WINE_FONT_DIR</dir>
  <match target="font">
    <edit name="rgba" mode="append_last"><const>rgb</const></edit>
  </match>
</fontconfig>
EOF
  mv "$conf.new" "$conf"
  export FONTCONFIG_FILE="$conf"
}
