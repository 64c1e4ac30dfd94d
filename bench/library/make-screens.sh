#!/usr/bin/env bash
# Saves real screenshots for library_bench: for each screen size a headless X
# server shows real windows (documentation, file trees, tables, xcalc, xclock,
# xman, xlogo) and library_bench --make-screens grabs them.
#   bench/library/make-screens.sh BUILD_DIR OUT_DIR
set -euo pipefail
build=$1
out=$2
mkdir -p "$out"
display=97
for size in 1280x800 1920x1080 2560x1440; do
  Xvfb ":$display" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  sleep 1
  DISPLAY=":$display" QT_QPA_PLATFORM=xcb "$build/bin/library_bench" --make-screens "$out" || true
  kill "$xvfb"
  wait "$xvfb" 2>/dev/null || true
done
ls "$out" | wc -l
