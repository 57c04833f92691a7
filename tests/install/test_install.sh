#!/usr/bin/env bash
# Installs the build into a temporary prefix and judges it as a desktop and a
# player would: the entry, metainfo and icons pass their validators, and the
# installed program, played under a real X server and window manager, keeps
# each player's files in that player's data folder, root's too, while a
# portable copy of it keeps them beside itself.
#   test_install.sh <build folder> <application id> <wm_close helper> <homepage>
set -euo pipefail
build=$1
id=$2
wm_close=$3
homepage=$4

work=$(mktemp -d)
pids=()
cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
  wait 2>/dev/null || true
  chmod -R u+w "$work" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
share=$prefix/share
listing() { (cd "$1" && find . | sort); }
installation=$(listing "$prefix")

# --- Installed files -------------------------------------------------------
desktop-file-validate "$share/applications/$id.desktop" || fail "desktop entry"
grep -qx 'Categories=Game;CardGame;' "$share/applications/$id.desktop" || fail "categories"
grep -qx "Icon=$id" "$share/applications/$id.desktop" || fail "icon name"
metainfo=$share/metainfo/$id.metainfo.xml
appstreamcli validate --no-net --strict "$metainfo" || fail "metainfo"
# Software centres show the project's home and its published screenshot.
[[ $homepage == https://* ]] || fail "the homepage $homepage is not https"
grep -qF "<url type=\"homepage\">$homepage</url>" "$metainfo" || fail "metainfo homepage"
grep -qF "<image>${homepage}screenshots/main_midround.png</image>" "$metainfo" ||
  fail "metainfo screenshot"
for size in 16 32 48 64 128 256; do
  icon=$share/icons/hicolor/${size}x$size/apps/$id.png
  file -b "$icon" | grep -q "^PNG image data, $size x $size," || fail "icon $icon: $(file -b "$icon")"
done
svg=$share/icons/hicolor/scalable/apps/$id.svg
xmllint --noout "$svg" || fail "scalable icon"
grep -q '<svg' "$svg" || fail "scalable icon is no SVG"
for doc in README.md copyright changelog.gz main_midround.png; do
  [ -s "$share/doc/quintelle/$doc" ] || fail "doc/$doc missing"
done
file -b "$share/doc/quintelle/main_midround.png" | grep -q '^PNG image data' || fail "screenshot"

game=$prefix/games/quintelle
[ -x "$game" ] || fail "program not installed"

# --- Starts offscreen from its installed place -----------------------------
offhome=$work/offscreen-home
mkdir -p "$offhome"
HOME=$offhome XDG_DATA_HOME=$offhome/data XDG_RUNTIME_DIR= QT_QPA_PLATFORM=offscreen \
  "$game" >"$work/offscreen.log" 2>&1 &
offpid=$!
pids+=("$offpid")
sleep 3
kill -0 "$offpid" 2>/dev/null || { cat "$work/offscreen.log"; fail "program ended on its own"; }
kill "$offpid"
wait "$offpid" 2>/dev/null || true
if grep -Eiq 'qrc:|cannot (open|load|find)|no such file' "$work/offscreen.log"; then
  cat "$work/offscreen.log"
  fail "resources not found"
fi

# --- Played under X: where the player's files go ---------------------------
# A display of our own: Xvfb picks a free number and tells it through the fifo.
mkfifo "$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -ac 3>"$work/display" >/dev/null 2>&1 &
pids+=($!)
read -r -t 20 number <"$work/display" || fail "Xvfb did not start"
export DISPLAY=:$number
openbox --sm-disable >/dev/null 2>&1 &
pids+=($!)
sleep 1

# `nobody` must reach the program and its own home below the work folder.
chmod 755 "$work"

# Gives the window the focus the keys act on; a loaded machine can take a
# while to hand it over.
activate() {
  local wid=$1
  for _ in $(seq 50); do
    [ "$(xdotool getactivewindow 2>/dev/null)" = "$wid" ] && return
    xdotool windowactivate "$wid" 2>/dev/null || true
    sleep 0.1
  done
  fail "the window never got the focus"
}

# What a program that did not end is doing: its windows, and where each of its
# threads waits.
report_stuck() {
  local pid=$1
  echo "windows named Quintelle: $(xdotool search --name '^Quintelle$' 2>/dev/null | tr '\n' ' ')"
  echo "active window: $(xdotool getactivewindow 2>/dev/null)"
  local task
  for task in /proc/"$pid"/task/*; do
    # The state follows the name, which may itself hold spaces and brackets.
    echo "thread ${task##*/} ($(cat "$task/comm")): state $(sed 's/.*) //' "$task/stat" | cut -d' ' -f1)," \
      "waits in $(cat "$task/wchan")"
  done
}

# Runs the installed program as the player with HOME at $1, optionally plays
# one round (26 clicks on the grid), and ends it through the window manager's
# close; the program must exit normally. The close is asked of the window
# manager directly, as a title bar's button or a taskbar does: its close key,
# sent as synthetic key presses, was lost now and then (3 in 75 closes of a
# bare Qt window), while the request never was (0 in 150).
session() {
  local home=$1 play=$2 runner=$3
  mkdir -p "$home/run" && chmod 700 "$home/run"
  $player_owns_cmd "$home"
  env HOME="$home" XDG_DATA_HOME="$home/.local/share" XDG_RUNTIME_DIR="$home/run" \
    XDG_CONFIG_HOME="$home/.config" QT_QPA_PLATFORM=xcb \
    $runner "$game" >"$home/game.log" 2>&1 &
  local pid=$!
  pids+=("$pid")
  local wid
  wid=$(timeout 30 xdotool search --sync --onlyvisible --name '^Quintelle$' | head -1) ||
    fail "no window"
  activate "$wid"
  sleep 0.5
  if [ "$play" = play ]; then
    xdotool key --clearmodifiers ctrl+s
    sleep 0.5
    # The grid's cells are 75 by 100 apart below the menu bar.
    local cells=() r c
    for r in 1 2 3 4 5; do for c in 1 2 3 4 5; do cells+=("$r $c"); done; done
    cells+=("1 1")
    for cell in "${cells[@]}"; do
      read -r r c <<<"$cell"
      xdotool mousemove --window "$wid" $((2 + 9 + 75 * (c - 1) + 35)) $((30 + 8 + 100 * (r - 1) + 48)) \
        click 1
      sleep 0.15
    done
    sleep 0.5
  fi
  "$wm_close" "$wid"
  for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$pid" 2>/dev/null; then
    cat "$home/game.log"
    report_stuck "$pid"
    fail "program did not end on close"
  fi
  wait "$pid" || { cat "$home/game.log"; fail "program exited with $?"; }
}

data_of() { echo "$1/.local/share/Orvanta/Quintelle"; }

# The installed copy run by root (or whoever runs the tests), who could write
# beside the program: its files go to that user's data folder all the same.
player_owns_cmd=:
root_home=$work/root
session "$root_home" noplay ""
[ -s "$(data_of "$root_home")/quintelle.ini" ] || fail "installed, root: no settings in the data folder"
[ -s "$(data_of "$root_home")/quintelletally.tld" ] || fail "installed, root: no tally in the data folder"
cp "$(data_of "$root_home")/quintelletally.tld" "$work/fresh.tld"

# The installed copy run by an ordinary user (`nobody` when the tests run as
# root): that player's data folder, across restarts.
runner=""
if [ "$(id -u)" -eq 0 ]; then
  player_owns_cmd="chown -R nobody:nogroup"
  runner="setpriv --reuid=nobody --regid=nogroup --clear-groups --"
fi
home=$work/player
data=$(data_of "$home")
session "$home" play "$runner"
[ -s "$data/quintelle.ini" ] || fail "installed, player: no settings in $data"
[ -s "$data/quintelletally.tld" ] || fail "installed, player: no tally in $data"
cmp -s "$data/quintelletally.tld" "$work/fresh.tld" && fail "the played round is not in the tally"
cp "$data/quintelletally.tld" "$work/played.tld"
session "$home" noplay "$runner"
cmp -s "$data/quintelletally.tld" "$work/played.tld" || fail "the tally did not survive a restart"
[ "$(listing "$prefix")" = "$installation" ] || fail "the installed program wrote into its installation"

# A portable copy of the same program (the executable alone in a folder),
# run by root: its files stay beside it.
portable=$work/portable
mkdir -p "$portable"
cp "$game" "$portable/"
game=$portable/quintelle
player_owns_cmd=:
session "$work/portable-home" noplay ""
[ -s "$portable/quintelle.ini" ] || fail "portable: no settings beside the program"
[ -s "$portable/quintelletally.tld" ] || fail "portable: no tally beside the program"
[ ! -e "$work/portable-home/.local/share/Orvanta" ] || fail "portable: a data folder was made"
echo "install: ok"
