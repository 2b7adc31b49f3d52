#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Builds a static Qt 6 (Core, Gui, Widgets, the Windows platform plugin, and
# the image format plugins) for 64-bit Windows with MinGW-w64, from Debian's
# own source packages, into a cache folder outside the repository. A complete
# build already there is reused. Prints the prefix on its last line.
#
#   bash scripts/build-qt-windows.sh          # build or reuse
#   ORVANE_QT_WINDOWS=DIR bash scripts/...    # another prefix
#
# The source comes through a private apt configuration that adds deb-src
# entries for the machine's own Debian sources; the system's sources and
# package lists are left untouched.
set -euo pipefail

CACHE="${XDG_CACHE_HOME:-$HOME/.cache}/orvane"
PREFIX="${ORVANE_QT_WINDOWS:-$CACHE/qt-6.4.2-mingw-static}"
WORK="$CACHE/qt-windows-work"
STAMP="$PREFIX/.orvane-complete"
JOBS="${ORVANE_JOBS:-$(nproc)}"

if [[ -f $STAMP ]]; then
  echo "Qt for Windows: reusing $PREFIX" >&2
  echo "$PREFIX"
  exit 0
fi

need=(g++-mingw-w64-x86-64 qt6-base-dev-tools qt6-base-dev cmake ninja-build dpkg-dev perl python3)
missing=()
for pkg in "${need[@]}"; do
  dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
done
if ((${#missing[@]})); then
  SUDO=()
  [[ $(id -u) -ne 0 ]] && SUDO=(sudo)
  "${SUDO[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${SUDO[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

mkdir -p "$WORK"
APT="$WORK/apt"

# A private apt configuration: the machine's own deb822 sources with their
# type turned to deb-src, and package lists kept in a folder of our own.
private_apt() {
  mkdir -p "$APT/lists/partial" "$APT/sources.list.d"
  : > "$APT/sources.list"
  local f
  for f in /etc/apt/sources.list.d/*.sources; do
    [[ -f $f ]] || continue
    sed 's/^Types:.*/Types: deb-src/' "$f" > "$APT/sources.list.d/$(basename "$f")"
  done
  if [[ -f /etc/apt/sources.list ]]; then
    sed -n 's/^deb \(.*\)/deb-src \1/p' /etc/apt/sources.list >> "$APT/sources.list"
  fi
  cat > "$APT/apt.conf" <<EOF
Dir::Etc::SourceList "$APT/sources.list";
Dir::Etc::SourceParts "$APT/sources.list.d";
Dir::State::Lists "$APT/lists";
Dir::Cache "$APT/cache";
EOF
  mkdir -p "$APT/cache/archives/partial"
  APT_CONFIG="$APT/apt.conf" apt-get update -qq
}

# Unpacks a Debian source package once; prints the unpacked folder.
fetch_source() {
  local pkg=$1 dir
  dir=$(find "$WORK/src" -maxdepth 1 -type d -name "${pkg}-*" 2>/dev/null | head -1)
  if [[ -z $dir ]]; then
    [[ -f $APT/lists/.orvane-updated ]] || { private_apt; touch "$APT/lists/.orvane-updated"; }
    mkdir -p "$WORK/src"
    (cd "$WORK/src" && APT_CONFIG="$APT/apt.conf" apt-get source -qq "$pkg" >&2) || return 1
    dir=$(find "$WORK/src" -maxdepth 1 -type d -name "${pkg}-*" | head -1)
    [[ -n $dir ]] || return 1
  fi
  echo "$dir"
}

TOOLCHAIN="$WORK/toolchain.cmake"
cat > "$TOOLCHAIN" <<'EOF'
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
EOF

HOSTCMAKE=/usr/lib/x86_64-linux-gnu/cmake

# qtbase: a static Core, Gui and Widgets with Qt's bundled third-party
# libraries. Debian's source leaves out the Wintab header, so tablet events
# are off.
BASE_SRC=$(fetch_source qt6-base)
BASE_BUILD="$WORK/build-qtbase"
if [[ ! -f $BASE_BUILD/.orvane-installed ]]; then
  rm -rf "$BASE_BUILD"
  mkdir -p "$BASE_BUILD"
  (cd "$BASE_BUILD" && "$BASE_SRC/configure" -prefix "$PREFIX" -xplatform win32-g++ -qt-host-path /usr \
      -release -static -static-runtime -nomake examples -nomake tests -no-opengl -no-dbus \
      -no-feature-sql -no-feature-network -no-feature-printsupport -no-feature-testlib \
      -qt-zlib -qt-libpng -qt-libjpeg -qt-freetype -qt-harfbuzz -qt-pcre \
      -- -G Ninja -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DQT_HOST_PATH_CMAKE_DIR="$HOSTCMAKE" \
         -DFEATURE_tabletevent=OFF >&2)
  cmake --build "$BASE_BUILD" --parallel "$JOBS" >&2
  cmake --install "$BASE_BUILD" >&2
  touch "$BASE_BUILD/.orvane-installed"
fi

# Further modules (Qt Svg for the window's icon, the image formats for WebP
# and TIFF) build against the installed qtbase with its qt-configure-module.
# A module whose source cannot be fetched is left out (the window then shows
# its icon from the .ico; WebP and TIFF are not read) and named in
# PREFIX/.orvane-missing; the next run tries it again.
build_module() {
  local pkg=$1 src build
  if ! src=$(fetch_source "$pkg"); then
    echo "Qt for Windows: the source of $pkg could not be fetched; building without it" >&2
    echo "$pkg" >> "$PREFIX/.orvane-missing"
    return 0
  fi
  build="$WORK/build-$pkg"
  [[ -f $build/.orvane-installed ]] && return 0
  rm -rf "$build"
  mkdir -p "$build"
  (cd "$build" && "$PREFIX/bin/qt-configure-module" "$src" "${@:2}" \
      -- -DQT_HOST_PATH_CMAKE_DIR="$HOSTCMAKE" >&2)
  cmake --build "$build" --parallel "$JOBS" >&2
  cmake --install "$build" >&2
  touch "$build/.orvane-installed"
}
rm -f "$PREFIX/.orvane-missing"
build_module qt6-svg
build_module qt6-imageformats

# Complete only with every module; without one, the next run tries again.
[[ -f $PREFIX/.orvane-missing ]] || touch "$STAMP"
echo "Qt for Windows: built in $PREFIX" >&2
echo "$PREFIX"
