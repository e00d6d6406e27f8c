#!/usr/bin/env bash
# Builds Taveloq, starts it under a virtual X server with a fresh home folder and
# saves the main window as it looks after start-up to docs/screenshot.png (and at scale 2 to
# docs/screenshot@2x.png, the help file's picture), the splash to docs/splash.png, the About box
# to docs/about.png, the help viewer on each of its panes to docs/help-*.png and, in a dark
# colour scheme, to docs/help-dark.png.
# BUILD_DIR chooses the build folder (default: build).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh screenshot
build="${BUILD_DIR:-build}"
cmake -S . -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target taveloq

work="$(mktemp -d)"
app_pid=""
xvfb_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# A display number nobody uses.
display=99
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
  display=$((display + 1))
done
# Room for the main window at scale 2.
Xvfb ":$display" -screen 0 2048x1536x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
  DISPLAY=":$display" xwininfo -root >/dev/null 2>&1 && break
  sleep 0.1
done

# The application's settings and data go to the temporary folder, never the user's.
mkdir -p "$work/home" "$work/config" "$work/data" "$work/runtime"
chmod 700 "$work/runtime"
# Starts taveloq with the environment assignments given and waits for its main window ($window).
start() {
  env -u WAYLAND_DISPLAY DISPLAY=":$display" QT_QPA_PLATFORM=xcb HOME="$work/home" \
    XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/runtime" "$@" \
    "$build/src/taveloq" >"$work/app.log" 2>&1 &
  app_pid=$!
  # Start-up shows the splash for about four seconds before the main window stands alone.
  window=""
  for _ in $(seq 200); do
    window="$(DISPLAY=":$display" xwininfo -name "Taveloq v1.1" 2>/dev/null | sed -n 's/.*Window id: \(0x[0-9a-f]*\).*/\1/p' || true)"
    [ -n "$window" ] && break
    kill -0 "$app_pid" 2>/dev/null || { cat "$work/app.log" >&2; echo "taveloq ended before its window showed" >&2; exit 1; }
    sleep 0.1
  done
  if [ -z "$window" ]; then
    echo "no main window after 20 s" >&2
    exit 1
  fi
}
stop() {
  kill "$app_pid" 2>/dev/null || true
  wait "$app_pid" 2>/dev/null || true
  app_pid=""
}
start
mkdir -p docs
# The splash: above the main window for the last two seconds of start-up.
splash="$(DISPLAY=":$display" xwininfo -root -tree | sed -n 's/^ *\(0x[0-9a-f]*\) "Taveloq": ("taveloq".*/\1/p' | head -n 1)"
if [ -n "$splash" ]; then
  DISPLAY=":$display" timeout 30 import -window "$splash" docs/splash.png
  echo "saved docs/splash.png"
fi
sleep 6
DISPLAY=":$display" timeout 30 import -window "$window" docs/screenshot.png
echo "saved docs/screenshot.png"
# The About box, opened from the Help menu with the keyboard.
DISPLAY=":$display" xdotool windowfocus "$window" key alt+h
sleep 0.5
DISPLAY=":$display" xdotool key a
about=""
for _ in $(seq 50); do
  about="$(DISPLAY=":$display" xwininfo -name "About Taveloq" 2>/dev/null | sed -n 's/.*Window id: \(0x[0-9a-f]*\).*/\1/p' || true)"
  [ -n "$about" ] && break
  sleep 0.1
done
if [ -n "$about" ]; then
  sleep 1
  DISPLAY=":$display" timeout 30 import -window "$about" docs/about.png
  echo "saved docs/about.png"
  DISPLAY=":$display" xdotool key Escape
else
  echo "the About box did not open" >&2
  exit 1
fi

# The help viewer on each pane: F1 opens the contents, Alt+N the index, Alt+S a search.
x() { DISPLAY=":$display" xdotool "$@"; }
x windowfocus --sync "$window"
x key F1
help=""
for _ in $(seq 100); do
  help="$(x search --name "^Taveloq Help$" 2>/dev/null | head -n 1 || true)"
  [ -n "$help" ] && break
  sleep 0.1
done
[ -n "$help" ] || { echo "F1 opened no help window" >&2; exit 1; }
x windowfocus --sync "$help"
sleep 1
DISPLAY=":$display" timeout 30 import -window "$help" docs/help-contents.png
x key alt+n
x type --delay 50 "port"
sleep 1
DISPLAY=":$display" timeout 30 import -window "$help" docs/help-index.png
x key alt+s
x type --delay 50 "dialout"
x key Return
sleep 1
DISPLAY=":$display" timeout 30 import -window "$help" docs/help-search.png
echo "saved docs/help-contents.png, docs/help-index.png, docs/help-search.png"

stop

# The main window at scale 2: the help file shows it at half its size, sharp on scaled screens.
start QT_SCALE_FACTOR=2
sleep 6
DISPLAY=":$display" timeout 30 import -window "$window" docs/screenshot@2x.png
echo "saved docs/screenshot@2x.png"
stop

# The help window in a dark colour scheme, as a KDE desktop hands it to Qt (its kdeglobals).
cat >"$work/config/kdeglobals" <<'EOF'
[Colors:Window]
BackgroundNormal=49,54,59
ForegroundNormal=239,240,241
[Colors:View]
BackgroundNormal=35,38,41
BackgroundAlternate=49,54,59
ForegroundNormal=239,240,241
ForegroundLink=61,174,233
[Colors:Button]
BackgroundNormal=49,54,59
ForegroundNormal=239,240,241
[Colors:Selection]
BackgroundNormal=61,174,233
ForegroundNormal=252,252,252
EOF
start XDG_CURRENT_DESKTOP=KDE KDE_SESSION_VERSION=5
sleep 6
x windowfocus --sync "$window"
x key F1
help=""
for _ in $(seq 100); do
  help="$(x search --name "^Taveloq Help$" 2>/dev/null | head -n 1 || true)"
  [ -n "$help" ] && break
  sleep 0.1
done
[ -n "$help" ] || { echo "F1 opened no help window" >&2; exit 1; }
sleep 1
DISPLAY=":$display" timeout 30 import -window "$help" docs/help-dark.png
echo "saved docs/help-dark.png"
