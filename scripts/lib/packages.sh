# Installs the Debian packages named as arguments that are not installed yet.
ensure_packages() {
  missing=""
  for package in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
      missing="$missing $package"
    fi
  done
  [ -z "$missing" ] && return 0
  echo "installing:$missing"
  if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
  # shellcheck disable=SC2086
  $sudo apt-get update -qq && DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq \
    --no-install-recommends $missing
}

# What building and testing need, natively and for Windows under Wine.
BUILD_PACKAGES="cmake ninja-build g++ make pkg-config
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  mingw-w64-x86-64-dev wine wine64
  clang libclang-rt-14-dev"

# What the release needs beside the build: the Windows Installer package is
# built by wixl and signed by osslsigncode; the package tests read it back
# with msitools and make a throwaway certificate with openssl.
PACKAGE_PACKAGES="wixl msitools osslsigncode openssl"
