#!/usr/bin/env bash
# Makes a Debian 12 machine (as root) ready to build and test Vexlo: installs what is missing,
# builds libiconv, libxml2 and GoogleTest for MinGW from Debian's own sources, and prepares a
# Wine prefix. Everything it builds is cached under $VEXLO_CACHE, keyed by versions.
# Quiet when all is in place; safe to run again.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
# The tools here run in the plain locale (apt output is parsed; zh_CN may not exist yet).
export LANG=C.UTF-8 LC_ALL=C.UTF-8

SETUP_REVISION=1
PACKAGES=(g++-mingw-w64-x86-64-posix wine64 wine fonts-wine xvfb xauth x11-utils xdotool
          imagemagick fonts-wqy-microhei locales googletest xinetd dpkg-dev xz-utils make
          iproute2 util-linux cppcheck clang-tidy)
MINGW=x86_64-w64-mingw32

log() { echo "setup: $*" >&2; }
quietly() { # runs a command, shows its output only when it fails
    local out; out=$(mktemp)
    if ! "$@" >"$out" 2>&1; then cat "$out" >&2; rm -f "$out"; return 1; fi
    rm -f "$out"
}

install_packages() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return
    log "installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    quietly apt-get update
    quietly apt-get install -y --no-install-recommends "${missing[@]}"
}

enable_locales() { # zh_CN for the program (code page 936), en_US for tests under code page 1252
    local missing=0
    for locale in zh_CN en_US; do
        locale -a 2>/dev/null | grep -qix "$locale.utf8" && continue
        missing=1
        sed -i "s/^# *\($locale.UTF-8 UTF-8\)/\1/" /etc/locale.gen
        grep -q "^$locale.UTF-8 UTF-8" /etc/locale.gen || echo "$locale.UTF-8 UTF-8" >>/etc/locale.gen
    done
    [ $missing -eq 0 ] && return
    log "generating the zh_CN.UTF-8 and en_US.UTF-8 locales"
    quietly locale-gen
}

candidate() { apt-cache policy "$1" | awk '/Candidate:/ {print $2}'; }

# Source entries derived from the machine's own binary entries, present only while fetching.
fetch_sources() { # dir
    local list=/etc/apt/sources.list.d/vexlo-src
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
        sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources >"$list.sources"
    else
        grep -h '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' >"$list.list"
    fi
    local rc=0
    (cd "$1" && quietly apt-get update && quietly apt-get source libxml2 &&
        quietly apt-get source --download-only glib2.0) || rc=$?
    rm -f "$list.sources" "$list.list"
    return $rc
}

build_iconv() { # src prefix
    local work=$1/iconv
    mkdir -p "$work" "$2/lib" "$2/include"
    tar -xf "$1"/glib2.0_*.orig.tar.* -C "$work" --wildcards --strip-components=2 '*/glib/win_iconv.c'
    # GNU libiconv matches encoding names case-insensitively; make "WCHAR_T" find wchar_t too.
    sed -i 's/if (strcmp(name, "wchar_t") == 0)/if (_stricmp(name, "wchar_t") == 0)/' "$work/win_iconv.c"
    grep -q '_stricmp(name, "wchar_t")' "$work/win_iconv.c"
    cat >"$2/include/iconv.h" <<'H'
#ifndef VEXLO_ICONV_H
#define VEXLO_ICONV_H
#include <stddef.h>
#ifdef __cplusplus
extern "C" {
#endif
typedef void *iconv_t;
iconv_t iconv_open(const char *tocode, const char *fromcode);
int iconv_close(iconv_t cd);
size_t iconv(iconv_t cd, char **inbuf, size_t *inbytesleft, char **outbuf, size_t *outbytesleft);
#ifdef __cplusplus
}
#endif
#endif
H
    $MINGW-gcc-posix -O2 -I"$2/include" -c "$work/win_iconv.c" -o "$work/win_iconv.o"
    $MINGW-ar rcs "$2/lib/libiconv.a" "$work/win_iconv.o"
}

build_libxml2() { # src prefix
    local dir; dir=$(find "$1" -maxdepth 1 -type d -name 'libxml2-*' | head -n 1)
    # Debian's patches touch Makefile.am; keep autotools (not installed) from re-running.
    find "$dir" \( -name '*.am' -o -name '*.ac' -o -name '*.m4' \) -exec touch -d 2000-01-01 {} +
    (cd "$dir" &&
        quietly ./configure --host=$MINGW --prefix="$2" --enable-static --disable-shared \
            --without-python --without-zlib --without-lzma --without-http --without-ftp \
            --without-icu --without-modules --without-debug --without-docbook --without-legacy \
            --with-iconv="$2" CC=$MINGW-gcc-posix &&
        quietly make -j"$(nproc)" libxml2.la)
    mkdir -p "$2/include/libxml2/libxml"
    cp "$dir"/include/libxml/*.h "$2/include/libxml2/libxml/"
    cp "$dir/.libs/libxml2.a" "$2/lib/"
}

build_googletest() { # work prefix
    quietly cmake -S /usr/src/googletest -B "$1/gtest" \
        -DCMAKE_TOOLCHAIN_FILE="$VEXLO_ROOT/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$2" -DBUILD_GMOCK=ON \
        -Dgtest_disable_pthreads=ON
    quietly cmake --build "$1/gtest" -j"$(nproc)"
    quietly cmake --install "$1/gtest"
}

build_dependencies() {
    local key
    key="r$SETUP_REVISION-mingw$($MINGW-g++-posix -dumpversion)-xml$(candidate libxml2)"
    key+="-glib$(candidate libglib2.0-0)-gtest$(dpkg-query -W -f='${Version}' googletest)"
    key=$(echo "$key" | tr -c 'A-Za-z0-9.+_\n-' '_')
    local prefix=$VEXLO_CACHE/deps-$key
    if [ ! -f "$prefix/.complete" ]; then
        log "building dependencies into $prefix"
        rm -rf "$prefix"
        local work; work=$(mktemp -d)
        fetch_sources "$work"
        build_iconv "$work" "$prefix"
        build_libxml2 "$work" "$prefix"
        build_googletest "$work" "$prefix"
        rm -rf "$work"
        touch "$prefix/.complete"
    fi
    ln -sfn "$prefix" "$VEXLO_CACHE/deps"
}

make_wine_prefix() {
    local key; key=$($VEXLO_WINE --version | tr -c 'A-Za-z0-9.+_\n-' '_')
    local dir=$VEXLO_CACHE/wineprefix-$key-r$SETUP_REVISION
    if [ ! -f "$dir/.complete" ]; then
        log "creating the Wine prefix $dir"
        rm -rf "$dir"
        mkdir -p "$HOME/Desktop"
        WINEPREFIX=$dir vexlo_no_clock "$VEXLO_WINE" wineboot --init >/dev/null 2>&1
        WINEPREFIX=$dir vexlo_no_clock "$VEXLO_WINESERVER" -w
        cp /usr/share/wine/fonts/*.ttf "$dir/drive_c/windows/Fonts/"
        touch "$dir/.complete"
    fi
    ln -sfn "$dir" "$VEXLO_CACHE/wineprefix"
}

[ "$(id -u)" -eq 0 ] || { log "run me as root"; exit 1; }
mkdir -p "$VEXLO_CACHE" "$HOME/Desktop"
install_packages
enable_locales
build_dependencies
make_wine_prefix
