#!/usr/bin/env bash
# Builds the Debian package (`cpack -G DEB` from a Release build for /usr) and
# checks it:
#   - its file list holds the program, the desktop entry, the icons, the
#     AppStream data, the manual with its screenshots, the copyright file,
#     the changelog and the man page;
#   - lintian, where installed, reports no error;
#   - installed into a scratch root with its own dpkg database (dpkg --root),
#     the program there answers --version and --help and runs a batch script,
#     and removing the package leaves no file behind.
# With --apt (as root, on Debian 12) it is also installed with apt on this
# system, run from /usr/bin, and purged again. With --chroot DIR it is
# installed with apt inside DIR, a Debian 12 tree made by debootstrap, run
# there without a display, and purged.
# The package ends up in build-package/ (BUILD_DIR=... for another place).
set -euo pipefail
cd "$(dirname "$0")/.."

mode=scratch
chroot_dir=""
case "${1:-}" in
  --apt) mode=apt ;;
  --chroot) mode=chroot; chroot_dir=${2:?--chroot needs a directory} ;;
  "") ;;
  *) echo "usage: $0 [--apt | --chroot DIR]" >&2; exit 2 ;;
esac

build=${BUILD_DIR:-build-package}
fail() { echo "check-package: $*" >&2; exit 1; }
# cpack finds the libraries the package depends on with dpkg-shlibdeps.
command -v dpkg-shlibdeps >/dev/null || fail "dpkg-shlibdeps is missing (Debian: apt-get install dpkg-dev)"

echo "== Release build for /usr in $build"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORBY_TESTS=OFF -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
cmake --build "$build" -j "${JOBS:-2}"
rm -f "$build"/quorby_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/quorby_*.deb)
echo "== $deb"
dpkg-deb --field "$deb" Package Version Architecture Depends
list=$(dpkg-deb -c "$deb")
echo "$list" | awk '{print $6}'

expected=(
  ./usr/bin/quorby
  ./usr/share/applications/quorby.desktop
  ./usr/share/metainfo/quorby.metainfo.xml
  ./usr/share/icons/hicolor/scalable/apps/quorby.svg
  ./usr/share/icons/hicolor/16x16/apps/quorby.png
  ./usr/share/icons/hicolor/48x48/apps/quorby.png
  ./usr/share/icons/hicolor/256x256/apps/quorby.png
  ./usr/share/doc/quorby/manual.html
  ./usr/share/doc/quorby/screenshot.png
  ./usr/share/doc/quorby/copyright
  ./usr/share/doc/quorby/changelog.gz
  ./usr/share/man/man1/quorby.1.gz
)
for f in "${expected[@]}"; do
  echo "$list" | awk '{print $6}' | grep -qx -- "$f" || fail "the package lacks $f"
done
# The window module, loaded by the program when a window is wanted.
echo "$list" | awk '{print $6}' | grep -qE '^\./usr/lib/([^/]+/)?quorby/libquorby-window\.so$' ||
  fail "the package lacks the window module libquorby-window.so"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate packaging/quorby.desktop || fail "the desktop entry"
fi
# The project has no domain of its own, so the component id is "quorby", not a
# reverse domain name: appstreamcli warns about that; errors fail the check.
if command -v appstreamcli >/dev/null; then
  ! appstreamcli validate --no-net packaging/quorby.metainfo.xml | grep "^E:" || fail "the AppStream data"
fi

# lintian (Debian: lintian) judges the package as Debian would; its errors
# fail the check, its warnings are shown.
if command -v lintian >/dev/null; then
  lint=$(lintian --no-tag-display-limit "$deb" || true)
  [ -z "$lint" ] || echo "$lint"
  ! echo "$lint" | grep -q "^E:" || fail "lintian reports errors"
fi

# What every check runs with the installed program ($1: how to run it).
smoke() {
  local run=$1
  local out
  out=$($run --version) && [ "$out" = "Quorby 2.5.3" ] || fail "--version"
  out=$($run --help) && [[ "$out" == *"--disassemble FILE"* ]] || fail "--help"
  out=$(printf 'answer no\nprint row 0\nquit\n' | $run --batch - --home /tmp/quorby-package-home) &&
    [[ "$out" == *"Edit Mode"* ]] || fail "a batch script"
}

echo "== scratch root: dpkg --root"
root=$(mktemp -d /tmp/quorby-package-root.XXXXXX)
trap 'rm -rf "$root" /tmp/quorby-package-home' EXIT
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$root/var/log"
touch "$root/var/lib/dpkg/status" "$root/var/lib/dpkg/available"
# The libraries come from this system: the scratch root holds only the package.
dpkg --root="$root" --log="$root/var/log/dpkg.log" --force-depends --force-not-root -i "$deb" >/dev/null
[ -x "$root/usr/bin/quorby" ] || fail "not installed into the scratch root"
smoke "$root/usr/bin/quorby"
# Moved as a whole, the program still finds its window module (without a
# display the module says so; without the module the program would).
out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/quorby" --home /tmp/quorby-package-home 2>&1) || true
[[ "$out" == *"no display available"* ]] || fail "the window module is not found: $out"
dpkg --root="$root" --log="$root/var/log/dpkg.log" --force-not-root -P quorby >/dev/null
left=$( { find "$root/usr" -type f 2>/dev/null || true; } | wc -l)
[ "$left" -eq 0 ] || fail "$left files left after removal"
echo "installed, ran --version, --help and a batch script, removed: nothing left"

if [ "$mode" = apt ]; then
  echo "== apt on this system"
  [ "$(id -u)" -eq 0 ] || fail "--apt needs root"
  ! dpkg -s quorby >/dev/null 2>&1 || fail "a quorby package is already installed here"
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$PWD/$deb" >/dev/null
  smoke /usr/bin/quorby
  dpkg -L quorby | grep -qx /usr/share/applications/quorby.desktop || fail "dpkg -L"
  DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq quorby >/dev/null
  [ ! -e /usr/bin/quorby ] || fail "/usr/bin/quorby left after purge"
  echo "apt installed, ran and purged the package"
fi

if [ "$mode" = chroot ]; then
  echo "== apt in the Debian tree $chroot_dir"
  [ -x "$chroot_dir/usr/bin/apt-get" ] || fail "$chroot_dir is no Debian tree (debootstrap bookworm $chroot_dir)"
  cp "$deb" "$chroot_dir/tmp/quorby.deb"
  mount --bind /proc "$chroot_dir/proc" 2>/dev/null || true
  trap 'umount "$chroot_dir/proc" 2>/dev/null || true; rm -rf "$root" /tmp/quorby-package-home' EXIT
  chroot "$chroot_dir" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq /tmp/quorby.deb >/dev/null
  smoke "chroot $chroot_dir /usr/bin/quorby"
  chroot "$chroot_dir" env DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq quorby >/dev/null
  [ ! -e "$chroot_dir/usr/bin/quorby" ] || fail "quorby left in the tree after purge"
  echo "apt installed, ran and purged the package in $chroot_dir"
fi
echo "check-package: all checks passed"
