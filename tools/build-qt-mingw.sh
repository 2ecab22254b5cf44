#!/bin/sh
# Builds the smallest Qt 6 the front end needs (Core, Gui, Widgets, Test; the Windows and offscreen
# platform plugins) for 64-bit Windows with mingw-w64 from Debian's own qt6-base source package, and
# keeps the installed Qt in a cache outside the source tree, one copy per source version and
# recipe, so that only the first run compiles (the longest step of a fresh machine's test run).
#
#   tools/build-qt-mingw.sh     prints the installed Qt's folder (pass it as CMAKE_PREFIX_PATH)
#
# It runs at normal priority; prefix "nice" when sharing the machine. $ASHTINT_JOBS compilers at a
# time (default 2).
#
# Cache: $ASHTINT_CACHE_DIR, else $XDG_CACHE_HOME/ashtint, else ~/.cache/ashtint.
# Needs deb-src entries in apt's sources, Debian's host Qt tools of the same version
# (qt6-base-dev-tools: moc, rcc, uic, syncqt) and the mingw-w64 compilers (tools/setup.sh).
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
cache=${ASHTINT_CACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/ashtint}
jobs=${ASHTINT_JOBS:-2}

dsc=$(apt-get source --print-uris -qq qt6-base 2>/dev/null | awk '{print $2}' | grep '\.dsc$' | head -n 1) || true
if [ -z "$dsc" ]; then
  echo "build-qt-mingw: apt has no source of qt6-base; run tools/setup.sh (it adds deb-src entries)" >&2
  exit 1
fi
version=${dsc#qt6-base_}
version=${version%.dsc}
# The recipe (this script and the toolchain file) is part of the name: a changed configuration
# builds anew instead of reusing a Qt made another way.
recipe=$(cat "$root/tools/build-qt-mingw.sh" "$root/cmake/mingw-w64.cmake" | sha256sum | cut -c1-10)
prefix="$cache/qt6-mingw-$version-$recipe"

# One build at a time: a second caller (the test suite's, while run-tests.sh builds Qt in the
# background) waits for the first and then finds its result.
mkdir -p "$cache"
exec 9>"$prefix.lock"
flock 9

if [ ! -f "$prefix/lib/cmake/Qt6/Qt6Config.cmake" ]; then
  # The cross build runs Debian's moc, rcc and uic: they must come from the same Qt version.
  host=$(dpkg-query -W -f='${Version}' qt6-base-dev-tools 2>/dev/null) || host=""
  if [ "$host" != "$version" ]; then
    echo "build-qt-mingw: the host Qt tools are '${host:-missing}', the source is $version" >&2
    exit 1
  fi
  work=$(mktemp -d)
  trap 'rm -rf "$work" "$prefix.partial"' EXIT INT TERM
  if [ "$(id -u)" -eq 0 ] && id _apt >/dev/null 2>&1; then chown _apt "$work"; fi
  (cd "$work" && apt-get source -qq qt6-base >/dev/null)
  src=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'qt6-base-*' | head -n 1)
  [ -n "$src" ] || { echo "build-qt-mingw: apt-get source gave no source folder" >&2; exit 1; }

  echo "build-qt-mingw: compiling Qt $version for Windows (cached for later runs; long when cold)" >&2
  mkdir "$work/build"
  rm -rf "$prefix.partial"
  # Why each option:
  # - the front end uses Core, Gui, Widgets and (tests) Test: no SQL, network, printing, XML,
  #   concurrency, D-Bus, OpenGL, ICU (Windows has its own collation), OpenSSL or zstd;
  # - zlib, libpng, FreeType, HarfBuzz and PCRE come from Qt's own copies (none exist for mingw
  #   in Debian); JPEG is not needed for the front end's PNG pictures;
  # - direct2d1_1 only: turning off all of direct2d drops the DirectWrite font database that the
  #   Windows platform plugin still uses, and its link fails;
  # - tabletevent: Debian's repack drops the bundled wintab header and mingw has none;
  # - androiddeployqt: Debian's cross-build patch turns it on whenever cross-compiling;
  # - the widgets, dialogs, text formats and image formats the front end never shows (MDI, dock
  #   windows, status bars, date and font pickers, Qt's own colour, font and progress
  #   dialogs, wizards, undo, PDF, ODF, Markdown, GIF, ICO, movies, Vulkan, tray icon), since a
  #   cold build is the longest step of a fresh machine's test run. Qt 6.4 does not compile
  #   without the graphics view (QApplication), the main window (the tool bar), the input dialog
  #   or the table view (the native style); drag and drop (the front end's file drops) needs the
  #   XPM format;
  # - no ccache: the installed Qt is the cache, and on a cold build ccache's second pass over
  #   every source cost half as much again as the compiler alone (measured here);
  # - optimised for size: the front end draws a few small widgets, and -Os compiles faster than
  #   the -O3 Qt gives Core and Gui by default, and makes smaller DLLs for the release.
  # Debian keeps the host Qt's CMake packages in the multiarch folder.
  (cd "$work/build" && "$src/configure" -prefix "$prefix.partial" \
      -xplatform win32-g++ -qt-host-path /usr \
      -release -shared -opensource -confirm-license \
      -nomake examples -nomake tests -nomake benchmarks \
      -no-opengl -no-dbus -no-icu -no-openssl -no-zstd \
      -qt-zlib -qt-libpng -no-libjpeg -qt-freetype -qt-harfbuzz -qt-pcre \
      -no-feature-sql -no-feature-network -no-feature-printsupport -no-feature-concurrent \
      -no-feature-xml -no-feature-tabletevent -no-feature-direct2d1_1 \
      -no-feature-androiddeployqt -optimize-size -no-gif -no-ico \
      -no-feature-mdiarea -no-feature-dockwidget \
      -no-feature-statusbar -no-feature-sizegrip -no-feature-calendarwidget \
      -no-feature-datetimeedit -no-feature-fontcombobox -no-feature-commandlinkbutton \
      -no-feature-textbrowser -no-feature-splashscreen -no-feature-lcdnumber -no-feature-toolbox \
      -no-feature-dial -no-feature-scroller -no-feature-syntaxhighlighter \
      -no-feature-keysequenceedit -no-feature-colordialog -no-feature-fontdialog \
      -no-feature-progressdialog -no-feature-errormessage \
      -no-feature-wizard -no-feature-datawidgetmapper -no-feature-columnview -no-feature-undoview \
      -no-feature-tablewidget -no-feature-listwidget \
      -no-feature-undocommand -no-feature-undostack -no-feature-undogroup -no-feature-pdf \
      -no-feature-textodfwriter -no-feature-textmarkdownreader -no-feature-textmarkdownwriter \
      -no-feature-movie -no-feature-picture -no-feature-vulkan -no-feature-sessionmanager \
      -no-feature-systemtrayicon -no-feature-imageformat_ppm -no-feature-imageformat_xbm \
      -- -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
      -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake) >"$work/configure.log" 2>&1 || {
    tail -n 40 "$work/configure.log" >&2
    echo "build-qt-mingw: configure failed" >&2
    exit 1
  }
  cmake --build "$work/build" --parallel "$jobs" >"$work/build.log" 2>&1 || {
    grep -B 2 -A 12 -m 3 'error:' "$work/build.log" >&2 || tail -n 40 "$work/build.log" >&2
    echo "build-qt-mingw: the build failed" >&2
    exit 1
  }
  cmake --install "$work/build" >"$work/install.log" 2>&1 || {
    tail -n 20 "$work/install.log" >&2
    echo "build-qt-mingw: the install failed" >&2
    exit 1
  }
  # The licence texts go beside the DLLs into the release.
  mkdir -p "$prefix.partial/licenses"
  for f in "$src"/LICENSE.* "$src"/LICENSES/*.txt; do
    if [ -f "$f" ]; then cp "$f" "$prefix.partial/licenses/"; fi
  done
  cp "$src/debian/copyright" "$prefix.partial/licenses/debian-copyright.txt"
  for f in platforms/qwindows.dll platforms/qoffscreen.dll; do
    [ -f "$prefix.partial/plugins/$f" ] || { echo "build-qt-mingw: $f was not built" >&2; exit 1; }
  done
  # Installed Qt finds itself relative to its own files, so the finished folder may be moved.
  rm -rf "$prefix"
  mv "$prefix.partial" "$prefix"
  # Qt made by earlier recipes is not used again (a build still under way keeps its folder).
  for old in "$cache"/qt6-mingw-*; do
    case "$old" in "$prefix" | *.partial) continue ;; esac
    if [ -d "$old" ]; then rm -rf "$old"; fi
  done
fi

echo "$prefix"
