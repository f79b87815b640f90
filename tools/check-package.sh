#!/usr/bin/env bash
# Builds the Debian package and checks it as a user would meet it: the desktop entry and the
# AppStream metadata validate, and in a clean Debian 12 root (debootstrap, minbase) the package
# installs with apt pulling in its dependencies, the installed program lists the simulated mouse
# and shows its window (a screenshot is left in the build folder).
#   tools/check-package.sh [BUILD_FOLDER]      (needs root for debootstrap and chroot)
# Q9_PACKAGE_DEB=FILE checks that package instead of building one.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-package}
suite=bookworm
mirror=${DEBIAN_MIRROR:-http://deb.debian.org/debian}

bash tools/install-deps.sh
need=()
for p in debootstrap desktop-file-utils appstream dpkg-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
  apt-get install -y --no-install-recommends "${need[@]}" >/dev/null
fi

if [ -n "${Q9_PACKAGE_DEB:-}" ]; then
  deb=$Q9_PACKAGE_DEB # a package built already
  mkdir -p "$build"
else
  echo "== build and package"
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DQ9_BUILD_TESTS=OFF >/dev/null
  cmake --build "$build" -j2
  (cd "$build" && cpack -G DEB >/dev/null)
  deb=$(ls "$build"/q9zen_*.deb | head -1)
fi
echo "package: $deb"
dpkg-deb --info "$deb" | sed -n '/Depends/p;/Recommends/p'
# Nothing outside the usual places.
if dpkg-deb --contents "$deb" | awk '{print $6}' | grep -vE '^\./$|^\./usr/|^\./lib/udev/|^\./usr$|^\./lib/$|^\./lib$' | grep .; then
  echo "files outside /usr and /lib/udev" >&2; exit 1
fi

echo "== validate the desktop entry and the metadata"
desktop-file-validate dist/linux/q9zen.desktop
appstreamcli validate --no-net dist/linux/io.github.q9zen.Q9Zen.metainfo.xml

echo "== install in a clean $suite root"
root=$(mktemp -d "${TMPDIR:-/tmp}/q9zen-root.XXXXXX")
cleanup() {
  umount "$root/proc" 2>/dev/null || true
  rm -rf "$root"
}
trap cleanup EXIT
start=$(date +%s)
debootstrap --variant=minbase "$suite" "$root" "$mirror" >"$build/debootstrap.log" 2>&1 \
  || { echo "debootstrap failed (see $build/debootstrap.log)" >&2; exit 1; }
mount -t proc proc "$root/proc"
cp "$deb" "$root/tmp/"
chroot "$root" env DEBIAN_FRONTEND=noninteractive apt-get install -y "/tmp/$(basename "$deb")" >"$build/apt-in-root.log" 2>&1 \
  || { echo "apt-get install failed (see $build/apt-in-root.log)" >&2; tail -20 "$build/apt-in-root.log" >&2; exit 1; }
echo "installed in $(( $(date +%s) - start )) s"

echo "== run the installed program"
run() { chroot "$root" env QT_QPA_PLATFORM=offscreen HOME=/root Q9ZEN_RUNTIME_DIR=/tmp/q9rt "$@"; }
run q9zen --list --simulate mouse
run q9zen --simulate mouse --screenshot /tmp/q9zen-installed.png
cp "$root/tmp/q9zen-installed.png" "$build/"
echo "screenshot of the installed program: $build/q9zen-installed.png"
echo "PACKAGE CHECK PASSED"
