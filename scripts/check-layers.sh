#!/usr/bin/env bash
# Fails when a source file includes a header of a folder above it in the
# layering (or of a folder it does not depend on at all). The include
# directories already stop most wrong includes from compiling; this also
# catches relative paths such as "../app/AppDelegate.h".
set -euo pipefail
cd "$(dirname "$0")/.."

# folder: the folders whose headers it may include, besides its own
declare -A allowed=(
  [src/platform]=""
  [src/base]="src/platform"
  [src/index]="src/base src/platform"
  [src/annotate]="src/base src/platform"
  [src/capture]="src/base src/platform"
  [src/capture/overlay]="src/platform"
  [src/library]="src/index src/annotate src/base src/platform"
  [src/settings]="src/base src/platform"
  [src/app]="src/library src/settings src/capture src/index src/annotate src/base src/platform"
  [tools/qxc]="src/index src/base src/platform"
  [tools/qxocr]=""
  [tools/qxcapture]="src/capture/overlay src/base src/platform"
  [tools/qxscroll]="src/capture/overlay src/base src/platform"
)

status=0
for folder in "${!allowed[@]}"; do
  [ -d "$folder" ] || continue
  while IFS= read -r -d '' file; do
    while IFS= read -r header; do
      found=""
      dir=$(dirname "$file")
      for candidate in "$dir" "$folder" ${allowed[$folder]}; do
        if [ -f "$candidate/$header" ]; then found=$(realpath --relative-to=. "$candidate/$header"); break; fi
      done
      if [ -z "$found" ]; then
        owner=$(git ls-files "src/*/$header" "tools/*/$header" "src/*/*/$header" | head -n 1)
        if [ -n "$owner" ]; then
          echo "$file includes $header from $(dirname "$owner"), which $folder may not use" >&2
          status=1
        fi
        continue
      fi
      case "$found" in
        "$folder"/*) ;;
        *)
          ok=""
          for lower in ${allowed[$folder]}; do
            case "$found" in "$lower"/*) ok=1 ;; esac
          done
          if [ -z "$ok" ]; then
            echo "$file includes $found, which $folder may not use" >&2
            status=1
          fi
          ;;
      esac
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
  done < <(find "$folder" -type f \( -name '*.cpp' -o -name '*.h' \) -print0)
done
exit $status
