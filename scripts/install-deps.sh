#!/usr/bin/env bash
# Installs every Debian package Glimber needs to build, test and run.
# Idempotent: packages already present are left alone, and apt is not touched
# at all when nothing is missing.
set -euo pipefail

packages=(
  # toolchain
  build-essential cmake ninja-build pkg-config clang-format
  # Qt 6: Core, Gui, Widgets, Concurrent, DBus, Network, Test; platform and image plugins
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins qt6-wayland
  qt6-image-formats-plugins qt6-svg-dev
  # shot database
  libsqlite3-dev sqlite3
  # text recognition
  libtesseract-dev libleptonica-dev tesseract-ocr tesseract-ocr-eng tesseract-ocr-jpn
  # HEIC images
  libheif-dev
  # global keys and input synthesis
  libx11-dev libxi-dev libxtst-dev libevdev-dev libpipewire-0.3-dev
  # tests and benchmarks
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  # test pictures for the OCR helper (interlaced PNGs, PNG chunk checksums)
  libpng-dev zlib1g-dev
  # headless desktop for end-to-end runs
  xvfb xauth xdotool xclip trayer dbus dbus-x11 x11-utils x11-apps x11-xserver-utils
  # Wayland: the client library and protocol descriptions (wlroots' own ones
  # come with the Rust crate's package, the only Debian package that has them),
  # and a headless sway desktop with Xwayland, portals and PipeWire for the tests
  libwayland-dev libwayland-bin wayland-protocols librust-wayland-protocols-dev libxkbcommon-dev
  sway swaybg xwayland grim xdg-desktop-portal xdg-desktop-portal-wlr pipewire wireplumber zenity
  # an X server with several monitors for the tests: Xorg's dummy driver
  xserver-xorg-core xserver-xorg-video-dummy
  # Japanese glyphs for rendering and recognition; Qt's own dialogs in Japanese
  fonts-noto-cjk qt6-translations-l10n
  # checks of the installed desktop entries and AppStream data
  desktop-file-utils appstream
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
  [ "$status" = "installed" ] || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}" >&2
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "install-deps: need root or sudo to install packages" >&2; exit 1; }
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
