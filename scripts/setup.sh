#!/usr/bin/env bash
# Installs the Debian 12 packages the project needs; skips apt when every package is present.
#   scripts/setup.sh          what building and running Morvell and the stand-in CAD host needs (./run.sh)
#   scripts/setup.sh --tests  that, and what the tests, the benchmarks and the fuzzing need (./test.sh)
#   --list                    names the packages, one a line, and installs nothing
set -euo pipefail
packages=(build-essential cmake g++ pkg-config
          qt6-base-dev libqt6opengl6-dev libgl-dev libglu1-mesa-dev libxcb1-dev
          fonts-wqy-microhei  # Chinese and Japanese glyphs: Tandrel's dialog is in one of them
          xdg-utils)          # xdg-open, with which Tandrel's Help asks the desktop to show its text
tests=false
list=false
for arg in "$@"; do
  case "$arg" in
    --tests) tests=true ;;
    --list) list=true ;;
    *) echo "usage: $0 [--tests] [--list]" >&2; exit 2 ;;
  esac
done
if $tests; then
  packages+=(libgtest-dev libgmock-dev libbenchmark-dev  # the test and benchmark programs
             xvfb xauth                 # a virtual X display for the tests that need OpenGL
             clang libclang-rt-14-dev   # the fuzzing
             locales                    # a comma-decimal locale for the test of the design files
             poppler-utils              # reads the printed reports back
             libreoffice-writer-nogui)  # a word processor that lays out report.rtf for the column test
fi
if $list; then
  printf '%s\n' "${packages[@]}"
  exit 0
fi
sudo_cmd=""
[ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo_cmd apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y --no-install-recommends "${missing[@]}"
fi
# A comma-decimal locale for the test that checks design files ignore the process locale.
if $tests && ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  $sudo_cmd localedef -i de_DE -f UTF-8 de_DE.UTF-8 || echo "de_DE.UTF-8 not installed: the locale test will be skipped"
fi
