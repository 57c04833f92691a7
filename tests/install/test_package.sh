#!/usr/bin/env bash
# Builds the Debian packages from the build folder and judges them: the
# game's listing holds the program, its entry, icons and metainfo, and its
# control file names the dependencies computed from the binaries and none of
# the server's; the server's package holds the server and a systemd unit that
# systemd-analyze verifies; lintian finds no error in either.
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
    ./usr/share/quintelle/installed \
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

for library in libpq5 libsqlite3-0 libmicrohttpd12 libunistring2; do
  if grep -q "\b$library\b" <<<"$depends"; then fail "the game depends on $library: $depends"; fi
done
if grep -q quintelle-server <<<"$listing"; then fail "the game carries the server"; fi

server=$(ls "$work"/quintelle-server_*.deb)
unit=usr/lib/systemd/system/quintelle-server.service
listing=$(dpkg-deb -c "$server" | awk '{print $6}')
for path in ./usr/bin/quintelle-server "./$unit" ./usr/share/doc/quintelle-server/copyright; do
  grep -qxF "$path" <<<"$listing" || fail "$path not in the server package"
done
[ "$(dpkg-deb -f "$server" Section)" = net ] || fail "server section"
depends=$(dpkg-deb -f "$server" Depends)
for library in libmicrohttpd12 libpq5 libsqlite3-0; do
  grep -q "\b$library\b" <<<"$depends" || fail "the server's Depends lacks $library: $depends"
done
dpkg-deb -e "$server" "$work/control"
[ -x "$work/control/postinst" ] || fail "no postinst enabling the service"
dpkg-deb -x "$server" "$work/root"
"$work/root/usr/bin/quintelle-server" --help >/dev/null || fail "the packaged server does not run"
for setting in DynamicUser=yes User=quintelle-server StateDirectory=quintelle-server \
    ProtectSystem=strict; do
  grep -qx "$setting" "$work/root/$unit" || fail "the unit lacks $setting"
done
# Verified where systemd would find the program: the unpacked copy.
sed "s#/usr/bin/quintelle-server#$work/root/usr/bin/quintelle-server#" "$work/root/$unit" \
  >"$work/quintelle-server.service"
systemd-analyze verify "$work/quintelle-server.service" || fail "systemd-analyze verify"

# Errors fail; warnings are shown for the log.
lintian --tag-display-limit 0 "$deb" "$server" >"$work/lintian.log" 2>&1 || true
cat "$work/lintian.log"
if grep -q '^E:' "$work/lintian.log"; then fail "lintian errors"; fi
echo "package: ok"
