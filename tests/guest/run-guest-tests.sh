#!/usr/bin/env bash
# Boots a small Linux guest under QEMU (software emulation) whose kernel has uhid and hidraw, runs
# the guest test binary in it and passes only when the guest prints the tests' success line.
# Exit 77 (skipped, with the reason) when QEMU or the kernel cannot be had on this machine.
#   run-guest-tests.sh GUEST_TEST_BINARY WORK_DIR
set -uo pipefail

bin=${1:?guest test binary}
work=${2:?work directory}
mkdir -p "$work"
work=$(cd "$work" && pwd)
skip() { echo "SKIPPED: $*"; exit 77; }

# Packages: QEMU, a static busybox for the guest's init, cpio for the initramfs.
missing=()
for p in qemu-system-x86 busybox-static cpio; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo -n); fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}" >"$work/apt.log" 2>&1 \
    || { "${sudo[@]}" apt-get update >>"$work/apt.log" 2>&1 && \
         "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}" >>"$work/apt.log" 2>&1; } \
    || skip "cannot install ${missing[*]} (see $work/apt.log)"
fi
command -v qemu-system-x86_64 >/dev/null || skip "qemu-system-x86_64 not found"
[ -x /bin/busybox ] || skip "/bin/busybox not found"

# The kernel: Debian's linux-image-amd64, unpacked into the work folder (not installed, so no boot
# loader or initramfs hooks run on this machine).
kdir="$work/kernel"
if ! ls "$kdir"/boot/vmlinuz-* >/dev/null 2>&1; then
  pkg=$(apt-cache depends linux-image-amd64 2>/dev/null | awk '/Depends: linux-image-/ {print $2; exit}')
  [ -n "$pkg" ] || skip "no linux-image-amd64 package known to apt"
  rm -rf "$work/deb" && mkdir -p "$work/deb"
  (cd "$work/deb" && apt-get download "$pkg" >"$work/download.log" 2>&1) \
    || skip "cannot download $pkg (see $work/download.log)"
  rm -rf "$kdir" && dpkg-deb -x "$work"/deb/*.deb "$kdir" || skip "cannot unpack $pkg"
  rm -rf "$work/deb"
fi
vmlinuz=$(ls "$kdir"/boot/vmlinuz-* | head -n 1)
kver=${vmlinuz##*/vmlinuz-}
hid="$kdir/lib/modules/$kver/kernel/drivers/hid"

# The initramfs: busybox, the three modules, the test binary and the shared libraries it needs.
root="$work/initramfs"
rm -rf "$root" && mkdir -p "$root"/{bin,dev,proc,sys,tmp,modules}
cp /bin/busybox "$root/bin/busybox"
for m in hid uhid hid-generic; do
  src=$(ls "$hid/$m".ko* 2>/dev/null | head -n 1)
  [ -n "$src" ] || skip "module $m not in $kver"
  case "$src" in
    *.ko) cp "$src" "$root/modules/$m.ko" ;;
    *.ko.xz) xz -dc "$src" >"$root/modules/$m.ko" ;;
    *.ko.zst) zstd -qdc "$src" >"$root/modules/$m.ko" ;;
    *) skip "unknown module format $src" ;;
  esac
done
cp "$bin" "$root/guest-tests"
ldd "$bin" | awk '/=> \// {print $3} /^[[:space:]]*\/[^ ]+ \(/ {print $1}' | while read -r lib; do
  cp --parents -L "$lib" "$root"
done
cat >"$root/init" <<'INIT'
#!/bin/busybox sh
/bin/busybox mount -t proc proc /proc
/bin/busybox mount -t sysfs sysfs /sys
/bin/busybox mount -t devtmpfs devtmpfs /dev
for m in hid uhid hid-generic; do /bin/busybox insmod /modules/$m.ko || echo "insmod $m failed"; done
/guest-tests --gtest_color=no
echo "guest tests ended with status $?"
/bin/busybox poweroff -f
INIT
chmod +x "$root/init"
(cd "$root" && find . | cpio -o -H newc --quiet | gzip -1) >"$work/initramfs.cpio.gz"

log="$work/console.log"
timeout 300 qemu-system-x86_64 -accel tcg -m 512 -smp 1 -nographic -no-reboot \
  -kernel "$vmlinuz" -initrd "$work/initramfs.cpio.gz" \
  -append "console=ttyS0 panic=-1 quiet loglevel=3" </dev/null >"$log" 2>&1
status=$?
tr -d '\r' <"$log" | sed -n '/^\[==========\]/,$p; /insmod/p; /^\[  FAILED/p' | head -n 200
if tr -d '\r' <"$log" | grep -qx 'Q9ZEN GUEST TESTS PASSED'; then
  exit 0
fi
echo "The guest did not report success (QEMU status $status). Console: $log"
tail -n 60 "$log"
exit 1
