#!/bin/sh
# Installs the build into a fresh prefix and checks that everything a desktop needs is in place,
# and that the installed program answers on its command line without a display.
# Usage: check_install.sh CMAKE BUILD_DIR VERSION
set -eu
cmake=$1
build=$2
version=$3
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

"$cmake" --install "$build" --prefix "$prefix" >/dev/null

status=0
for f in bin/zorvex-messenger bin/zorvex-pbem \
         share/zorvex-messenger/RawEnglishUnicode.txt \
         share/zorvex-messenger/Data/Skins/Default/DialogTop.bmp \
         share/zorvex-messenger/Data/Icons/icon128-16.png \
         share/zorvex-messenger/Data/Icons/icon134-64.png \
         share/applications/zorvex-messenger.desktop; do
  [ -f "$prefix/$f" ] || { echo "missing: $f"; status=1; }
done
for size in 16 22 24 32 48 64; do
  f=share/icons/hicolor/${size}x${size}/apps/zorvex-messenger.png
  [ -f "$prefix/$f" ] || { echo "missing: $f"; status=1; }
done
[ -x "$prefix/bin/zorvex-messenger" ] || { echo "not executable: bin/zorvex-messenger"; status=1; }

out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/bin/zorvex-messenger" --version)
[ "$out" = "zorvex-messenger $version" ] || { echo "--version said: $out"; status=1; }
env -u DISPLAY "$prefix/bin/zorvex-messenger" --help | grep -q -- "--install-dir DIR" ||
  { echo "--help lacks --install-dir"; status=1; }
rc=0
env -u DISPLAY "$prefix/bin/zorvex-messenger" --no-such-option >/dev/null 2>&1 || rc=$?
[ "$rc" -eq 2 ] || { echo "an unknown option ended with $rc, not 2"; status=1; }
exit $status
