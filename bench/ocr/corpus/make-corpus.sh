#!/usr/bin/env bash
# Rebuilds the real-screenshot corpus of ocr_bench: real programs from Debian
# packages (GTK 3, Qt 5, Tk, Xaw, Motif, xterm) run under Xvfb in English and
# Japanese, several themes, 1x and 2x, and are captured the way a person would
# capture them: a window, an open menu, a tight crop, a whole screen.
#
#   bench/ocr/corpus/make-corpus.sh OUTPUT_FOLDER [SCENE...]
#
# truth.tsv beside this script names, for every file, the strings a person
# sees in it. The packages it needs are installed here, not by
# scripts/install-deps.sh, so that ordinary builds do without them.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
out=${1:?usage: make-corpus.sh OUTPUT_FOLDER [SCENE...]}
shift
only=("$@")

corpus_packages=(
  xvfb x11-utils x11-apps x11-xserver-utils xdotool imagemagick locales
  gtk-3-examples zenity mousepad greybird-gtk-theme gnome-themes-extra
  featherpad featherpad-l10n qt5ct qttranslations5-l10n
  tk xterm nedit fonts-noto-cjk fonts-ipafont fonts-dejavu-core
)

install_packages() {
  local missing=() p status
  for p in "${corpus_packages[@]}"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
    [ "$status" = "installed" ] || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}" >&2
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
  local changed=0 l
  for l in en_US.UTF-8 ja_JP.UTF-8; do
    if ! locale -a 2>/dev/null | grep -qix "${l/UTF-8/utf8}"; then
      grep -q "^$l UTF-8" /etc/locale.gen || echo "$l UTF-8" >>/etc/locale.gen
      changed=1
    fi
  done
  [ $changed -eq 0 ] || locale-gen >/dev/null
}

install_packages
mkdir -p "$out"
out=$(cd "$out" && pwd)
# A fixed folder: its path shows in some file dialogs.
work=/tmp/glimber-ocr-corpus
rm -rf "$work"
mkdir -p "$work"
xvfb_pid=
app_pids=()
cleanup() {
  stop_apps
  [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# ---------------------------------------------------------------- the home

# One home for every program, with files of fixed names, contents and dates,
# so that a rebuild shows exactly what the truth table says.
make_home() {
  export HOME=$work/home
  export XDG_CONFIG_HOME=$HOME/.config XDG_DATA_HOME=$HOME/.local/share
  export XDG_CACHE_HOME=$HOME/.cache XDG_RUNTIME_DIR=$work/run
  mkdir -p "$HOME"/{Documents,Projects,Invoices,Pictures,Music} "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
  local i words=(alpha bravo charlie delta echo foxtrot golf hotel india juliet kilo lima)
  for i in $(seq 1 40); do
    printf 'row %04d %s %s\n' "$i" "${words[$(((i * 3) % 12))]}" "${words[$(((i * 7 + 5) % 12))]}"
  done >"$HOME/Documents/listing.txt"
  cat >"$HOME/Projects/invoice.c" <<'EOF'
#include <stdio.h>

/* Sums the amounts of one invoice and prints the total. */
static double invoice_total(const double *amounts, int count)
{
    double total = 0.0;
    for (int i = 0; i < count; ++i)
        total += amounts[i];
    return total;
}

int main(void)
{
    const double amounts[] = {120.50, 89.99, 4711.00};
    printf("total due: %.2f\n", invoice_total(amounts, 3));
    return 0;
}
EOF
  cat >"$HOME/Documents/server.log" <<'EOF'
2024-03-14 09:12:01 INFO  backup started for volume archive7
2024-03-14 09:12:05 INFO  copied 1832 files to harbour
2024-03-14 09:13:44 WARN  disk quota at 91 percent on harbour
2024-03-14 09:14:02 ERROR connection refused by mirror-east
2024-03-14 09:14:03 INFO  retrying in 30 seconds
2024-03-14 09:14:33 INFO  backup finished with 1 warning
EOF
  cat >"$HOME/Documents/meeting-notes.txt" <<'EOF'
Meeting notes, spring planning

Attendees: Maria, Kenji, Oskar
Budget review moved to Thursday.
Harbour project ships in April.
EOF
  cat >"$HOME/Documents/kaigi.txt" <<'EOF'
会議のメモ 春の計画

出席者 佐藤 田中 山本
予算の見直しは木曜日に変更
港のプロジェクトは四月に出荷
EOF
  cat >"$HOME/Documents/ja-log.txt" <<'EOF'
2024-03-14 09:12:01 情報 バックアップを開始しました
2024-03-14 09:13:44 警告 ディスクの使用量が上限に近づいています
2024-03-14 09:14:02 エラー サーバーに接続できません
2024-03-14 09:14:33 情報 バックアップが完了しました
EOF
  : >"$HOME/Invoices/march-2024.pdf"
  : >"$HOME/Invoices/april-2024.pdf"
  : >"$HOME/Pictures/harbour-sunset.png"
  : >"$HOME/Music/playlist.m3u"
  find "$HOME" -exec touch -h -d '2023-03-14 10:00' {} +
  # Sub-pixel antialiasing, as many laptops have it.
  mkdir -p "$XDG_CONFIG_HOME/fontconfig"
  cat >"$XDG_CONFIG_HOME/fontconfig/fonts.conf" <<'EOF'
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <match target="font">
    <edit name="rgba" mode="assign"><const>rgb</const></edit>
    <edit name="hinting" mode="assign"><bool>true</bool></edit>
    <edit name="hintstyle" mode="assign"><const>hintslight</const></edit>
    <edit name="lcdfilter" mode="assign"><const>lcddefault</const></edit>
  </match>
</fontconfig>
EOF
  # A grey menu theme: mid-grey menus with dark text, as some applications ship.
  mkdir -p "$HOME/.themes/GreyMenus/gtk-3.0"
  cat >"$HOME/.themes/GreyMenus/gtk-3.0/gtk.css" <<'EOF'
@import url("resource:///org/gtk/libgtk/theme/Adwaita/gtk-contained.css");
window, .background, menubar, headerbar { background-color: #c4c4c4; background-image: none; color: #111111; }
menu, .menu, .context-menu, popover, popover.menu, menu menuitem { background-color: #b7b7b7; color: #161616; }
menu menuitem:hover { background-color: #8a8a8a; color: #000000; }
textview text { background-color: #d8d8d8; color: #111111; }
EOF
  # Qt: Fusion, with the light or the dark palette of qt5ct.
  mkdir -p "$XDG_CONFIG_HOME/qt5ct"
  local scheme
  for scheme in light dark; do
    local colours=/usr/share/qt5ct/colors/airy.conf
    [ $scheme = dark ] && colours=/usr/share/qt5ct/colors/darker.conf
    cat >"$work/qt5ct-$scheme.conf" <<EOF
[Appearance]
color_scheme_path=$colours
custom_palette=true
style=Fusion
standard_dialogs=default
[Fonts]
fixed="DejaVu Sans Mono,10,-1,5,50,0,0,0,0,0"
general="DejaVu Sans,10,-1,5,50,0,0,0,0,0"
EOF
  done
}

# ---------------------------------------------------------------- the display

display_number=
start_display() { # WIDTH HEIGHT DPI
  local width=$1 height=$2 dpi=$3 attempt
  for attempt in 1 2 3 4 5; do
    rm -f "$work/display"
    Xvfb -displayfd 3 -screen 0 "${width}x${height}x24" -dpi "$dpi" -nolisten tcp -noreset \
      3>"$work/display" >/dev/null 2>&1 &
    xvfb_pid=$!
    local tries=0
    while [ ! -s "$work/display" ] && [ $tries -lt 100 ]; do sleep 0.05; tries=$((tries + 1)); done
    export DISPLAY=:$(head -1 "$work/display" 2>/dev/null)
    # Another Xvfb may be going away on the same number: wait until this one answers.
    tries=0
    while ! xdpyinfo >/dev/null 2>&1 && [ $tries -lt 40 ]; do sleep 0.05; tries=$((tries + 1)); done
    if xdpyinfo >/dev/null 2>&1; then
      xsetroot -solid '#ff00ff'
      printf 'Xft.dpi: %s\nXft.antialias: 1\nXft.rgba: rgb\nXft.hinting: 1\nXft.hintstyle: hintslight\n' \
        "$dpi" | xrdb -merge
      return 0
    fi
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  done
  echo "make-corpus: no display" >&2
  exit 1
}

stop_display() {
  stop_apps
  [ -z "$xvfb_pid" ] || { kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; }
  xvfb_pid=
  rm -f "$work/display"
}

stop_apps() {
  local pid
  for pid in "${app_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${app_pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  app_pids=()
}

# Runs a program in the language (en or ja) of the scene.
launch() { # LANG PROGRAM ARGS...
  local lang=$1
  shift
  if [ "$lang" = ja ]; then
    LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 LANGUAGE=ja "$@" >/dev/null 2>&1 &
  else
    LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8 LANGUAGE=en "$@" >/dev/null 2>&1 &
  fi
  app_pids+=($!)
}

wait_window() { # NAME-REGEX
  xdotool search --sync --onlyvisible --name "$1" >/dev/null 2>&1 || true
  sleep 1.5
}

# Keeps the part of the screen that is not the magenta desktop.
capture() { # FILE [MARGIN-COLOUR]
  local file=$1 margin=${2:-}
  import -window root "$work/screen.png"
  if [ -z "$margin" ]; then
    convert "$work/screen.png" -fuzz 1% -trim +repage -fill '#3c3c3c' -opaque '#ff00ff' "$out/$file"
  elif [ "$margin" = transparent ]; then
    convert "$work/screen.png" -fuzz 1% -trim +repage -transparent '#ff00ff' \
      -bordercolor none -border 24 "$out/$file"
  else
    convert "$work/screen.png" -fuzz 1% -trim +repage -fill "$margin" -opaque '#ff00ff' \
      -bordercolor "$margin" -border 16 "$out/$file"
  fi
}

capture_screen() { # FILE
  import -window root "$out/$1"
}

wanted() {
  [ ${#only[@]} -eq 0 ] && return 0
  local s
  for s in "${only[@]}"; do [ "$s" = "$1" ] && return 0; done
  return 1
}

gtk_theme() { # THEME
  case $1 in
    adwaita) echo Adwaita ;;
    dark) echo Adwaita:dark ;;
    grey) echo Greybird ;;
    greymenus) echo GreyMenus ;;
  esac
}

# ---------------------------------------------------------------- the scenes
# Each scene: NAME LANG THEME SCALE. The file is NAME-LANG-THEME-SCALEx.png.

# Environment of a GTK program of the scene.
gtk_env() { # THEME SCALE
  echo "GTK_THEME=$(gtk_theme "$1") GDK_SCALE=$2 NO_AT_BRIDGE=1 GTK_OVERLAY_SCROLLING=0"
}

say() { # LANG ENGLISH JAPANESE
  if [ "$1" = ja ]; then echo "$3"; else echo "$2"; fi
}

scene_zenity_question() {
  local lang=$1 theme=$2 scale=$3
  start_display 1280 800 96
  # shellcheck disable=SC2046
  launch "$lang" env $(gtk_env "$theme" "$scale") zenity --question --width=420 \
    --title="$(say "$lang" 'Delete folder' 'フォルダーの削除')" \
    --text="$(say "$lang" 'Delete the folder Invoices 2024 permanently?' 'フォルダー「請求書 2024」を完全に削除しますか?')"
  wait_window .
  capture "zenity_question-$lang-$theme-${scale}x.png"
  stop_display
}

scene_zenity_entry() {
  local lang=$1 theme=$2 scale=$3
  start_display 1280 800 96
  # shellcheck disable=SC2046
  launch "$lang" env $(gtk_env "$theme" "$scale") zenity --entry --width=380 \
    --title="$(say "$lang" 'New project' '新しいプロジェクト')" \
    --text="$(say "$lang" 'Name of the new project:' '新しいプロジェクトの名前:')" \
    --entry-text="$(say "$lang" 'harbour lights' '港の灯り')"
  wait_window .
  capture "zenity_entry-$lang-$theme-${scale}x.png"
  stop_display
}

scene_zenity_list() {
  local lang=$1 theme=$2 scale=$3 margin=${4:-}
  start_display 1280 800 96
  if [ "$lang" = ja ]; then
    set -- --column=名前 --column=サイズ --column=種類 \
      見積書.pdf '120 KB' 文書 会議の写真.png '2.4 MB' 画像 売上表.ods '48 KB' 表計算 旅行の計画.txt '3 KB' テキスト
  else
    set -- --column=Name --column=Size --column=Kind \
      quotation.pdf '120 KB' Document meeting-photo.png '2.4 MB' Picture sales-figures.ods '48 KB' Spreadsheet travel-plan.txt '3 KB' Text
  fi
  # shellcheck disable=SC2046
  launch "$lang" env $(gtk_env "$theme" "$scale") zenity --list --width=460 --height=300 \
    --title="$(say "$lang" 'Recent files' '最近のファイル')" \
    --text="$(say "$lang" 'Choose a file to open' '開くファイルを選んでください')" "$@"
  wait_window .
  capture "zenity_list-$lang-$theme-${scale}x.png" "$margin"
  stop_display
}

scene_zenity_forms() {
  local lang=$1 theme=$2 scale=$3
  start_display 1280 800 96
  # shellcheck disable=SC2046
  launch "$lang" env $(gtk_env "$theme" "$scale") zenity --forms --width=420 \
    --title="$(say "$lang" 'Preferences' '設定')" \
    --text="$(say "$lang" 'Account settings' 'アカウントの設定')" \
    --add-entry="$(say "$lang" 'Display name' '表示名')" \
    --add-entry="$(say "$lang" 'Mail server' 'メールサーバー')" \
    --add-password="$(say "$lang" 'Password' 'パスワード')" \
    --add-calendar="$(say "$lang" 'Start date' '開始日')"
  wait_window .
  capture "zenity_forms-$lang-$theme-${scale}x.png"
  stop_display
}

scene_file_chooser() {
  local lang=$1 theme=$2 scale=$3
  start_display 1280 800 96
  # shellcheck disable=SC2046
  launch "$lang" env $(gtk_env "$theme" "$scale") zenity --file-selection \
    --filename="$HOME/Documents/" --title="$(say "$lang" 'Open a document' '文書を開く')"
  wait_window .
  xdotool windowsize "$(xdotool search --onlyvisible --name . | tail -1)" $((720 * scale)) $((460 * scale))
  sleep 1
  capture "file_chooser-$lang-$theme-${scale}x.png"
  stop_display
}

# A GTK text editor with a document; MENU (file, edit, none) is left open.
scene_mousepad() {
  local lang=$1 theme=$2 scale=$3 menu=$4 margin=${5:-}
  local document=$HOME/Documents/meeting-notes.txt
  [ "$lang" = ja ] && document=$HOME/Documents/kaigi.txt
  start_display 1280 800 96
  # shellcheck disable=SC2046
  launch "$lang" env $(gtk_env "$theme" "$scale") mousepad --disable-server "$document"
  wait_window Mousepad
  local window
  window=$(xdotool search --onlyvisible --name Mousepad | head -1)
  xdotool windowsize "$window" $((560 * scale)) $((380 * scale))
  sleep 0.5
  xdotool windowfocus --sync "$window"
  case $menu in
    file) xdotool key F10 ;;
    edit) xdotool key F10 Right ;;
    prefs) xdotool key F10 Right; sleep 0.5; xdotool key Up Return ;;
  esac
  sleep 1.5
  capture "mousepad_$menu-$lang-$theme-${scale}x.png" "$margin"
  stop_display
}

scene_widget_factory() {
  local lang=$1 theme=$2 scale=$3
  start_display 1600 1200 96
  # shellcheck disable=SC2046
  launch "$lang" env $(gtk_env "$theme" "$scale") gtk3-widget-factory
  wait_window .
  local window
  window=$(xdotool search --onlyvisible --name . | tail -1)
  xdotool windowfocus --sync "$window"
  capture "widget_factory-$lang-$theme-${scale}x.png"
  stop_display
}

# xterm showing a file: a listing, source code or a log, as a terminal shows it.
scene_xterm() {
  local lang=$1 theme=$2 scale=$3 file=$4 geometry=${5:-80x24} name=${6:-xterm}
  local colours=(-bg white -fg black)
  [ "$theme" = dark ] && colours=(-bg '#1e1e1e' -fg '#d0d0d0')
  start_display 1600 1200 $((96 * scale))
  launch "$lang" xterm -geometry "$geometry" -fa 'DejaVu Sans Mono' -fs 10 "${colours[@]}" \
    -title "xterm $file" -e sh -c "cat '$HOME/$file'; sleep 600"
  wait_window "xterm $file"
  local base=${file##*/}
  capture "${name}_${base%%.*}-$lang-$theme-${scale}x.png"
  stop_display
}

# A capture dragged tight around a few lines of text, cutting the letters at
# its border: a crop of an xterm screenshot taken just inside the glyphs.
scene_tight_crop() {
  local lang=$1 theme=$2 scale=$3 file=$4 crop=$5
  scene_xterm "$lang" "$theme" "$scale" "$file" 60x12 whole
  local base=${file##*/}
  local whole="$out/whole_${base%%.*}-$lang-$theme-${scale}x.png"
  convert "$whole" -crop "$crop" +repage "$out/tight_${base%%.*}-$lang-$theme-${scale}x.png"
  rm -f "$whole"
}

# A Tk program: its own menus, labels and the standard Tk file dialog.
scene_tk() {
  local lang=$1 theme=$2 scale=$3 what=$4
  start_display 1280 800 $((96 * scale))
  cat >"$work/tk.tcl" <<'EOF'
wm title . "Inventory"
menu .m
. configure -menu .m
foreach {name items} {File {New Open... Save Quit} Edit {Undo Cut Copy Paste} Help {About}} {
  menu .m.[string tolower $name] -tearoff 0
  .m add cascade -label $name -menu .m.[string tolower $name]
  foreach i $items { .m.[string tolower $name] add command -label $i }
}
label .title -text "Warehouse inventory" -font {Helvetica 14 bold}
label .l1 -text "Item name:"
entry .e1
.e1 insert 0 "copper wire"
label .l2 -text "Quantity on hand:"
spinbox .s2 -from 0 -to 9999
.s2 set 240
checkbutton .c -text "Reorder when low"
.c select
radiobutton .r1 -text "Metric units" -value metric -variable units
radiobutton .r2 -text "Imperial units" -value imperial -variable units
set units metric
button .b1 -text "Save changes"
button .b2 -text "Cancel"
grid .title - -sticky w -padx 8 -pady 6
grid .l1 .e1 -sticky w -padx 8 -pady 3
grid .l2 .s2 -sticky w -padx 8 -pady 3
grid .c - -sticky w -padx 8
grid .r1 .r2 -sticky w -padx 8
grid .b1 .b2 -padx 8 -pady 8
if {$argv eq "menu"} { after 800 { tk_popup .m.edit 120 60 } }
if {$argv eq "dialog"} { after 300 { tk_getOpenFile -initialdir $env(HOME)/Documents -title "Open inventory" } }
EOF
  launch "$lang" wish "$work/tk.tcl" "$what"
  wait_window .
  sleep 1
  capture "tk_$what-$lang-$theme-${scale}x.png"
  stop_display
}

# Xaw and Motif programs: the X Toolkit's editor, calculator and font chooser,
# and NEdit.
scene_xt() {
  local lang=$1 theme=$2 scale=$3 program=$4
  start_display 1280 800 96
  case $program in
    xedit) launch "$lang" xedit "$HOME/Documents/meeting-notes.txt" ;;
    xcalc) launch "$lang" xcalc ;;
    xfontsel) launch "$lang" xfontsel ;;
    nedit) launch "$lang" nedit "$HOME/Documents/server.log" ;;
  esac
  wait_window .
  if [ "$program" = nedit ]; then
    local window
    window=$(xdotool search --onlyvisible --name . | tail -1)
    xdotool windowsize "$window" 640 360
    sleep 0.5
    xdotool mousemove 40 12 click 1
    sleep 1
  fi
  capture "$program-$lang-$theme-${scale}x.png"
  stop_display
}

# A Qt text editor, Fusion with a light or a dark palette.
scene_featherpad() {
  local lang=$1 theme=$2 scale=$3 what=$4 margin=${5:-}
  local document=$HOME/Documents/meeting-notes.txt
  [ "$lang" = ja ] && document=$HOME/Documents/kaigi.txt
  local scheme=light
  [ "$theme" = dark ] && scheme=dark
  cp "$work/qt5ct-$scheme.conf" "$XDG_CONFIG_HOME/qt5ct/qt5ct.conf"
  rm -rf "$XDG_CONFIG_HOME/featherpad"
  start_display 1280 800 96
  launch "$lang" env QT_QPA_PLATFORMTHEME=qt5ct QT_SCALE_FACTOR="$scale" featherpad "$document"
  wait_window "$(basename "$document")"
  local window
  window=$(xdotool search --onlyvisible --name "$(basename "$document")" | head -1)
  xdotool windowsize "$window" $((600 * scale)) $((400 * scale))
  sleep 0.5
  xdotool windowfocus --sync "$window"
  case $what in
    file) xdotool key alt+f ;;
    edit) xdotool key alt+e ;;
  esac
  sleep 1.5
  capture "featherpad_$what-$lang-$theme-${scale}x.png" "$margin"
  stop_display
}

# A whole screen with several programs on it, as a full-screen capture takes it.
scene_desktop() {
  local lang=$1 theme=$2 scale=$3 size=$4
  local width=${size%x*} height=${size#*x}
  start_display "$width" "$height" $((96 * scale))
  xsetroot -solid '#2d5a7b'
  local document=$HOME/Documents/meeting-notes.txt log=server.log
  [ "$lang" = ja ] && document=$HOME/Documents/kaigi.txt log=ja-log.txt
  # shellcheck disable=SC2046
  launch "$lang" env $(gtk_env "$theme" "$scale") mousepad --disable-server "$document"
  wait_window Mousepad
  xdotool windowmove "$(xdotool search --onlyvisible --name Mousepad | head -1)" $((40 * scale)) $((40 * scale))
  launch "$lang" xterm -geometry 90x20 -fa 'DejaVu Sans Mono' -fs 10 -title "terminal" \
    -e sh -c "cat '$HOME/Documents/$log'; sleep 600"
  wait_window terminal
  xdotool windowmove "$(xdotool search --onlyvisible --name terminal | head -1)" $((width / 2)) $((60 * scale))
  # shellcheck disable=SC2046
  launch "$lang" env $(gtk_env "$theme" "$scale") zenity --list --width=460 --height=300 \
    --title=files --text="$(say "$lang" 'Choose a file to open' '開くファイルを選んでください')" \
    --column="$(say "$lang" Name 名前)" --column="$(say "$lang" Size サイズ)" \
    "$(say "$lang" quotation.pdf 見積書.pdf)" '120 KB' "$(say "$lang" travel-plan.txt 旅行の計画.txt)" '3 KB'
  wait_window files
  xdotool windowmove "$(xdotool search --onlyvisible --name files | head -1)" $((width / 3)) $((height / 2))
  sleep 1
  capture_screen "desktop-$lang-$theme-${scale}x-$size.png"
  stop_display
}

scenes=(
  "zenity_question en adwaita 1" "zenity_question ja adwaita 1" "zenity_question ja dark 1"
  "zenity_question en greymenus 2"
  "zenity_entry en grey 1" "zenity_entry ja grey 1" "zenity_entry en adwaita 2"
  "zenity_list en dark 1" "zenity_list ja dark 1" "zenity_list en adwaita 1 transparent"
  "zenity_list ja grey 1 transparent"
  "zenity_forms en grey 1" "zenity_forms ja adwaita 2"
  "file_chooser en adwaita 1" "file_chooser ja adwaita 1" "file_chooser en dark 1"
  "file_chooser ja grey 1"
  "mousepad en adwaita 1 file" "mousepad ja adwaita 1 file" "mousepad en grey 1 file"
  "mousepad en greymenus 1 edit transparent" "mousepad ja greymenus 1 edit transparent"
  "mousepad en dark 1 prefs" "mousepad ja dark 1 prefs" "mousepad ja adwaita 2 edit"
  "widget_factory en adwaita 1" "widget_factory en dark 1"
  "xterm en adwaita 1 Documents/listing.txt 80x41" "xterm en dark 1 Projects/invoice.c"
  "xterm en adwaita 2 Documents/server.log" "xterm ja dark 1 Documents/ja-log.txt"
  "xterm ja adwaita 2 Documents/kaigi.txt"
  "tight_crop en adwaita 1 Documents/listing.txt 300x57+5+19"
  "tight_crop en dark 1 Documents/server.log 330x30+3+5"
  "tight_crop ja adwaita 1 Documents/ja-log.txt 420x50+2+3"
  "tk en adwaita 1 main" "tk en adwaita 1 menu" "tk en adwaita 2 dialog"
  "xt en adwaita 1 xedit" "xt en adwaita 1 xcalc" "xt en adwaita 1 xfontsel" "xt en adwaita 1 nedit"
  "featherpad en adwaita 1 file" "featherpad ja adwaita 1 file"
  "featherpad en dark 1 edit transparent" "featherpad ja dark 1 edit transparent"
  "featherpad en adwaita 1 window" "featherpad ja dark 2 window"
  "desktop en adwaita 1 1920x1080" "desktop ja adwaita 1 1920x1080"
  "desktop en dark 1 2560x1440" "desktop ja dark 1 2560x1440"
  "desktop en grey 2 3200x1800" "desktop ja grey 2 3200x1800"
)

make_home
cd "$HOME"
for scene in "${scenes[@]}"; do
  read -r -a fields <<<"$scene"
  wanted "${fields[0]}" || continue
  echo "scene: $scene" >&2
  "scene_${fields[0]}" "${fields[@]:1}"
done
