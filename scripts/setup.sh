#!/usr/bin/env bash
# Installs everything Quorvel needs to build, test and run on Debian 12.
# Idempotent: a second run checks what is there and installs nothing.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi

packages=(
  # toolchain; the sanitizer and libFuzzer runtimes and the symbolizer
  # for `make test-sanitized` and `make fuzz`
  clang-14 clang ninja-build cmake pkg-config make git
  libclang-rt-14-dev llvm-14
  # Qt and friends
  qt6-base-dev qt6-base-dev-tools qt6-pdf-dev qt6-svg-dev libqt6svg6
  qcoro-qt6-dev qtkeychain-qt6-dev libgl-dev
  # native libraries
  libsqlite3-dev sqlite3 libssl-dev libplist-dev libicu-dev libzip-dev
  libavcodec-dev libavformat-dev libavutil-dev libswscale-dev
  libcpp-httplib-dev libphonenumber-dev
  # a compiler cache, so that rebuilds in several work trees share objects
  ccache
  # tests and benchmarks
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  dbus dbus-x11 gnome-keyring libsecret-tools libsecret-1-0
  # runtime helpers: node for the typst front, poppler for PNG pages,
  # epubcheck to validate ebooks, fonts
  poppler-utils epubcheck
  fonts-texgyre fonts-ebgaramond fonts-linuxlibertine fonts-noto-color-emoji fonts-dejavu-core
  # names and messages in scripts the book's faces lack: Chinese, Japanese
  # and Korean, and Thai; on screen and staged for the book
  fonts-wqy-microhei fonts-tlwg-loma-ttf
  # the window: icons copied from Breeze at build time; a virtual display
  # for looking at screens and for running the app without one, and keys
  # typed into it for walking the app with the keyboard alone
  breeze-icon-theme fonts-inter xvfb xauth x11-apps netpbm xdotool
  # a desktop app: HEIC pictures, the app's icon drawn into PNGs at build
  # time, the opener of web pages, and the validators of the desktop entry
  # and the AppStream metainfo
  libheif-dev librsvg2-bin xdg-utils desktop-file-utils appstream
  # the desktop's accessibility bus, to read the window as a screen reader does
  at-spi2-core python3-pyatspi
)

# `setup.sh --look` also installs what a person needs to look at the ebook as
# a reader's app shows it (calibre's ebook-convert); no test needs it.
if [ "${1:-}" = "--look" ]; then
  packages+=(calibre)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

# Node may already come from elsewhere (it bundles its own npm then, and
# Debian's npm would conflict with it): only install it when it is missing.
if ! command -v node >/dev/null 2>&1 || ! command -v npm >/dev/null 2>&1; then
  missing+=(nodejs npm)
fi

if [ "${#missing[@]}" -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -q
  "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# npm packages: the typst engine for the typst front, and the fonts that
# Debian does not package. Installed from the lock files, only when missing.
npm_install() {
  local dir="$1" marker="$2"
  if [ ! -e "$dir/node_modules/$marker" ]; then
    echo "setup: npm install in ${dir#$here/}"
    (cd "$dir" && npm ci --no-audit --no-fund --loglevel=error)
  fi
}
npm_install "$here/tools/typst" "@myriaddreamin/typst-ts-node-compiler/package.json"
npm_install "$here/fonts" "@expo-google-fonts/instrument-sans/package.json"
exit 0
