#!/usr/bin/env bash
# The tray program's memory (resident set) idle, with the library open, with it
# showing two previews, after closing it, and after opening and closing the
# settings too, on a headless X server with real screenshots indexed:
#   bench/library/memory.sh BUILD_DIR SCREENS_DIR
# (SCREENS_DIR as bench/library/make-screens.sh makes it).
set -euo pipefail
build=$(realpath "$1")
screens=$(realpath "$2")
home=$(mktemp -d)
trap 'kill $glimber $DBUS_SESSION_BUS_PID $xvfb 2>/dev/null; rm -rf "$home"' EXIT
export HOME=$home XDG_CONFIG_HOME=$home/.config XDG_CACHE_HOME=$home/.cache \
       XDG_DATA_HOME=$home/.local/share XDG_RUNTIME_DIR=$home/.run QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY
mkdir -p "$XDG_RUNTIME_DIR" "$home/.glimvault/captures"
chmod 700 "$XDG_RUNTIME_DIR"
cp "$screens"/*.png "$home/.glimvault/captures/"
Xvfb :61 -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=:61
eval "$(dbus-launch --sh-syntax)"
sleep 1
"$build/bin/qxc" ocr >/dev/null 2>&1
"$build/bin/glimber" >/dev/null 2>&1 &
glimber=$!
megabytes() { awk '/VmRSS/ { printf "%.1f", $2 / 1024 }' "/proc/$glimber/status"; }
printf '%-42s %s\n' "glimber, $(ls "$screens" | wc -l) shots indexed" "resident MB"
sleep 12
printf '%-42s %s\n' "idle" "$(megabytes)"
"$build/bin/glimber" --library
sleep 4
printf '%-42s %s\n' "library open" "$(megabytes)"
library=$(xdotool search --name "Glimber Library" | head -1)
# No window manager runs: the keyboard goes to the window given the focus.
xdotool windowfocus --sync "$library" key Down
sleep 2
xdotool key Down
sleep 3
printf '%-42s %s\n' "library showing two previews" "$(megabytes)"
xdotool key ctrl+f Escape
sleep 3
printf '%-42s %s\n' "library closed" "$(megabytes)"
"$build/bin/glimber" --settings
sleep 4
xdotool windowclose "$(xdotool search --name "Settings" | head -1)"
sleep 3
printf '%-42s %s\n' "settings opened and closed too" "$(megabytes)"
