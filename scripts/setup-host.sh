#!/usr/bin/env bash
# Installs what building and testing need on Debian 12, only when it is missing.
set -euo pipefail

pkgs=(wine wine32:i386 wine64 g++-mingw-w64-i686 g++-mingw-w64-x86-64 xvfb xauth xdotool
      fonts-ipafont fonts-wine locales imagemagick cmake make g++ googletest
      clang-14 libclang-rt-14-dev python3 zip unzip)
missing=()
for p in "${pkgs[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "setup: installing ${missing[*]}"
    if [ "$(id -u)" != 0 ]; then
        echo "setup: run as root to install packages" >&2
        exit 1
    fi
    dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
    # A mirror that is being synced answers with index files of the wrong size for a
    # while; a later try gets a consistent set.
    for try in 1 2 3 4 5; do
        apt-get update -q && break
        [ "$try" = 5 ] && exit 1
        sleep $((try * 15))
    done
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# Code page 932 inside Wine comes from the glibc locale ja_JP.UTF-8.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
    echo "setup: generating the ja_JP.UTF-8 locale"
    sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >>/etc/locale.gen
    locale-gen >/dev/null
fi
