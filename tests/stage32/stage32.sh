# Functions of the 32-bit stage, sourced by scripts/test32: a guest under full-system emulation
# (qemu-system-x86_64, no KVM) whose kernel runs 32-bit programs, on the host's own root file
# system, so that the 32-bit Windows build runs for real under the wine32 the host installed.
#
# Why a guest: this kind of machine's kernel has ia32 emulation off ("Exec format error") and no
# /dev/kvm. Debian's own kernel has it on; TCG emulates the CPU, about 20 times slower than native.

stage32_here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# Modules the guest loads to reach the host's files (9p over virtio) and to lay the overlay, each
# after those it needs.
STAGE32_MODULES=(virtio_ring virtio virtio_pci_modern_dev virtio_pci_legacy_dev virtio_pci
                 9pnet 9pnet_virtio netfs fscache 9p overlay)

# stage32_kernel DIR: Debian's kernel package that linux-image-amd64 names, fetched with
# apt-get download (never installed on the host) and unpacked into DIR/kernel once; prints the
# unpacked root. Fails when the package cannot be fetched.
stage32_kernel() {
  local dir=$1/kernel package deb
  package=$(apt-cache depends linux-image-amd64 2>/dev/null | awk '/Depends: linux-image-/ { print $2; exit }')
  if [ -z "$package" ]; then
    apt-get update -q >/dev/null
    package=$(apt-cache depends linux-image-amd64 | awk '/Depends: linux-image-/ { print $2; exit }')
  fi
  [ -n "$package" ] || { echo "stage32: no kernel package behind linux-image-amd64" >&2; return 1; }
  if [ ! -f "$dir/$package/.unpacked" ]; then
    rm -rf "$dir" && mkdir -p "$dir/$package"
    # apt-get download writes into the current folder; as root it warns that _apt cannot.
    (cd "$dir" && apt-get download -q "$package" 2>&1 | grep -v '^W: Download is performed unsandboxed' >&2) || true
    deb=$(ls "$dir"/"${package}"_*.deb 2>/dev/null | head -1)
    [ -n "$deb" ] || { echo "stage32: apt-get download $package failed" >&2; return 1; }
    dpkg-deb -x "$deb" "$dir/$package"
    rm -f "$deb"
    touch "$dir/$package/.unpacked"
  fi
  echo "$dir/$package"
}

# stage32_initramfs KERNEL_ROOT OUT: busybox-static, the guest's init and the modules, as a newc
# cpio archive.
stage32_initramfs() {
  local kernel=$1 out=$2 tree module file
  tree=$(mktemp -d)
  mkdir -p "$tree/bin" "$tree/modules" "$tree/proc" "$tree/sys" "$tree/dev"
  cp /bin/busybox "$tree/bin/busybox"
  cp "$stage32_here/guest-init" "$tree/init"
  chmod 755 "$tree/init"
  : > "$tree/modules/order"
  for module in "${STAGE32_MODULES[@]}"; do
    file=$(find "$kernel/lib/modules" -name "$module.ko" | head -1)
    [ -n "$file" ] || { echo "stage32: module $module not in $kernel" >&2; rm -rf "$tree"; return 1; }
    cp "$file" "$tree/modules/"
    echo "$module" >> "$tree/modules/order"
  done
  (cd "$tree" && find . | busybox cpio -o -H newc 2>/dev/null) | gzip -1 > "$out"
  rm -rf "$tree"
}

# stage32_boot KERNEL_ROOT INITRAMFS OUT_DIR TIMEOUT_S RUN [ARG...]: boots the guest, which runs
# the script RUN (a path in the host's root, read-only in the guest) with the ARGs (no spaces) as
# root and powers off.
# OUT_DIR is the only host folder the guest can write. The console goes to standard output.
# Returns QEMU's status; 124 when TIMEOUT_S ran out (the guest is then killed).
stage32_boot() {
  local kernel=$1 initramfs=$2 out=$3 timeout_s=$4 run=$5 vmlinuz arg args=
  shift 5
  for arg in "$@"; do args="$args kc.arg=$arg"; done
  vmlinuz=$(ls "$kernel"/boot/vmlinuz-* | head -1)
  # -cpu max,-smap: with SMAP, Debian's QEMU 7.2 under TCG crashed the guest kernel on every Wine
  # process. mitigations=off: the guest shares nothing with anyone, and every emulated instruction
  # counts. Standard input is closed so that QEMU never waits on a terminal.
  timeout --kill-after=10 "$timeout_s" qemu-system-x86_64 \
    -accel tcg -cpu max,-smap -smp "${STAGE32_CPUS:-2}" -m "${STAGE32_MEMORY:-6144}" \
    -kernel "$vmlinuz" -initrd "$initramfs" \
    -append "console=ttyS0 quiet loglevel=3 panic=-1 mitigations=off kc.run=$run$args" \
    -virtfs "local,path=/,mount_tag=hostroot,security_model=none,readonly=on,multidevs=remap" \
    -virtfs "local,path=$out,mount_tag=out,security_model=none,multidevs=remap" \
    -display none -no-reboot -monitor none -serial stdio -nic none < /dev/null
}
