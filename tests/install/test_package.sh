#!/usr/bin/env bash
# Builds the Debian package from the build folder and judges it: the listing
# holds the program, its entry, icons and metainfo; the control file names
# the dependencies computed from the binaries; lintian finds no error.
#   test_package.sh <build folder> <application id>
set -euo pipefail
build=$1
id=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$work" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail cpack; }
deb=$(ls "$work"/quintelle_*.deb)
listing=$(dpkg-deb -c "$deb" | awk '{print $6}')
for path in ./usr/games/quintelle \
    "./usr/share/applications/$id.desktop" \
    "./usr/share/metainfo/$id.metainfo.xml" \
    "./usr/share/icons/hicolor/scalable/apps/$id.svg" \
    ./usr/share/doc/quintelle/copyright; do
  grep -qxF "$path" <<<"$listing" || fail "$path not in the package"
done
for size in 16 32 48 64 128 256; do
  grep -qxF "./usr/share/icons/hicolor/${size}x$size/apps/$id.png" <<<"$listing" ||
    fail "$size pixel icon not in the package"
done

[ "$(dpkg-deb -f "$deb" Section)" = games ] || fail "section"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libqt6widgets6 libqt6multimedia6 libqt6network6 libstdc++6 fonts-liberation2 libcurl4; do
  grep -q "\b$library\b" <<<"$depends" || fail "Depends lacks $library: $depends"
done

# Errors fail; warnings are shown for the log.
lintian --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1 || true
cat "$work/lintian.log"
if grep -q '^E:' "$work/lintian.log"; then fail "lintian errors"; fi
echo "package: ok"
