#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build and test setup and
# setup-mac. Does nothing when everything is already there.
set -euo pipefail

packages=(
  build-essential cmake pkg-config clang libclang-rt-14-dev
  zlib1g-dev libisal-dev isal libssl-dev libgtk2.0-dev libgtk-3-dev libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev
  nlohmann-json3-dev python3
  xvfb xauth xdotool x11-utils imagemagick locales gzip tar
  # The GTK 3 wizard on Wayland: a headless compositor and its screenshots.
  sway grim
  # The accessibility bus and its GTK 2 bridge, for the screen-reader test.
  dbus at-spi2-core libatk-adaptor libgail-common python3-pyatspi
  # The manual pages' check, and the Ansible role's test.
  groff-base man-db ansible-core
  # strace kills the program at an exact system call (the launcher write).
  strace
  libgnustep-gui-dev gnustep-back0.29 libblocksruntime-dev
  # Glyphs for every catalogue language: Latin, Cyrillic, Armenian and
  # Georgian (DejaVu), and Chinese (WenQuanYi Micro Hei).
  fonts-dejavu-core fonts-wqy-microhei
)
locales_wanted=(en_US.UTF-8 de_DE.UTF-8 hu_HU.UTF-8 ru_RU.UTF-8 pt_BR.UTF-8 fr_FR.UTF-8 ja_JP.UTF-8)

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  echo "setup-deps: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Locales used by the language-selection and conversion tests.
have=$(locale -a 2>/dev/null | tr 'A-Z' 'a-z' | sed 's/utf-8/utf8/')
gen=0
for l in "${locales_wanted[@]}"; do
  norm=$(echo "$l" | tr 'A-Z' 'a-z' | sed 's/utf-8/utf8/')
  if ! grep -qx "$norm" <<<"$have"; then
    "${sudo_cmd[@]}" sed -i "s/^# *\\($l UTF-8\\)/\\1/" /etc/locale.gen
    grep -q "^$l UTF-8" /etc/locale.gen || echo "$l UTF-8" | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
    gen=1
  fi
done
[ "$gen" -eq 0 ] || "${sudo_cmd[@]}" locale-gen >/dev/null
echo "setup-deps: all dependencies present"
