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
    # A mirror in the middle of a sync answers with index files of the wrong size for a
    # while; a later try often gets a consistent set. If one index stays broken (seen:
    # the i386 security updates), the others still hold every package needed, and the
    # install below says so if they do not.
    for try in 1 2 3; do
        apt-get update -q && break
        echo "setup: the package index could not be read whole (try $try of 3)" >&2
        [ "$try" = 3 ] || sleep $((try * 10))
    done
    install() { DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$@"; }
    # The 32-bit libraries must be the very versions of their 64-bit twins. When the
    # index of the i386 security updates lags behind the amd64 one, only the point
    # release has both: take its versions.
    install "${missing[@]}" ||
        install -t "$(. /etc/os-release && echo "$VERSION_CODENAME")" "${missing[@]}"
fi

# Code page 932 inside Wine comes from the glibc locale ja_JP.UTF-8.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
    echo "setup: generating the ja_JP.UTF-8 locale"
    sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >>/etc/locale.gen
    locale-gen >/dev/null
fi
