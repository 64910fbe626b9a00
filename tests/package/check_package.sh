#!/usr/bin/env bash
# Builds the Debian package with cpack and proves it: the file name, the dependencies (computed
# ones and libcurl4), an installation (apt-get in CI as root, otherwise unpacked into a scratch
# root), the installed programs answering, the manual pages covering what the programs' usage
# names, lintian without errors, and the desktop entry and metainfo file validated as installed.
# Usage: check_package.sh CPACK BUILD_DIR VERSION SANITIZE
# Exit 77 (skipped) in a sanitizer build, whose programs are not the ones to ship, and where a
# packaging tool is missing; in CI (CI=true) a missing tool is a failure.
set -uo pipefail
cpack=$1
build=$2
version=$3
sanitize=$4

if [ "$sanitize" = 1 ]; then
  echo "skipped: a sanitizer build is not packaged"
  exit 77
fi
for tool in dpkg-deb dpkg-shlibdeps lintian appstreamcli desktop-file-validate groff; do
  if ! command -v "$tool" >/dev/null; then
    echo "missing $tool (scripts/install-deps.sh installs it)"
    [ "${CI:-}" = true ] && exit 1
    exit 77
  fi
done

work=$(mktemp -d)
installed_by_us=0
cleanup() {
  [ $installed_by_us = 1 ] && dpkg --purge zorvex-messenger >/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

status=0
fail() { echo "FAIL: $*"; status=1; }

if ! "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"
  echo "FAIL: cpack"
  exit 1
fi
deb=$work/out/zorvex-messenger_${version}_$(dpkg --print-architecture).deb
if [ ! -f "$deb" ]; then
  echo "FAIL: no $(basename "$deb"); cpack wrote:"
  ls "$work/out"
  exit 1
fi

# shlibdeps ran (the C library and the window toolkit are named), and libcurl4, which the
# program opens at run time, is there too.
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for dep in libcurl4 libc6 libqt6widgets6; do
  grep -Eq "(^|, )$dep( |,|$)" <<<"$depends" || fail "Depends lacks $dep"
done

if [ "${CI:-}" = true ] && [ "$(id -u)" -eq 0 ] && command -v apt-get >/dev/null &&
   ! dpkg-query -W -f='${Status}' zorvex-messenger 2>/dev/null | grep -q "ok installed"; then
  # As a user installs it: apt resolves the dependencies. Removed again at the end.
  installed_by_us=1
  if ! DEBIAN_FRONTEND=noninteractive apt-get install -y -qq -o DPkg::Lock::Timeout=120 \
         "$deb" >"$work/apt.log" 2>&1; then
    cat "$work/apt.log"
    echo "FAIL: apt-get install"
    exit 1
  fi
  root=
  echo "installed with apt-get"
else
  root=$work/root
  dpkg-deb -x "$deb" "$root"
  # Each dependency (one of its alternatives) is installed here, so the programs below run with
  # what the package asks for.
  IFS=, read -ra groups <<<"$depends"
  for group in "${groups[@]}"; do
    found=0
    IFS='|' read -ra alternatives <<<"$group"
    for alternative in "${alternatives[@]}"; do
      name=$(awk '{print $1}' <<<"$alternative")
      dpkg-query -W -f='${Status}' "$name" 2>/dev/null | grep -q "ok installed" && found=1
    done
    [ $found = 1 ] || fail "dependency not installed here: $group"
  done
  echo "unpacked into a scratch root"
fi

for f in usr/bin/zorvex-messenger usr/bin/zorvex-pbem \
         usr/share/zorvex-messenger/RawEnglishUnicode.txt \
         usr/share/zorvex-messenger/Data/Skins/Default/DialogTop.bmp \
         usr/share/icons/hicolor/48x48/apps/zorvex-messenger.png \
         usr/share/applications/zorvex-messenger.desktop \
         usr/share/man/man1/zorvex-messenger.1.gz usr/share/man/man1/zorvex-pbem.1.gz \
         usr/share/doc/zorvex-messenger/copyright usr/share/doc/zorvex-messenger/changelog.gz; do
  [ -f "$root/$f" ] || fail "not installed: /$f"
done
# zorvex-pbem --notify loads it; the tool itself links no Qt.
find "$root/usr/lib" -path '*/zorvex-messenger/libzorvex-notify.so' | grep -q . ||
  fail "not installed: the notification module libzorvex-notify.so"

out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/bin/zorvex-messenger" --version 2>&1)
[ "$out" = "zorvex-messenger $version" ] || fail "zorvex-messenger --version said: $out"
messenger_usage=$(env -u DISPLAY "$root/usr/bin/zorvex-messenger" --help 2>&1)
rc=0
pbem_usage=$("$root/usr/bin/zorvex-pbem" --help 2>/dev/null) || rc=$?
[ $rc -eq 0 ] && grep -q "zorvex-pbem poll" <<<"$pbem_usage" ||
  fail "zorvex-pbem --help (status $rc) said: $pbem_usage"

# The manual pages format without a warning and name every option and command the usage names.
for page in zorvex-messenger zorvex-pbem; do
  src=$(gzip -dc "$root/usr/share/man/man1/$page.1.gz" | sed 's/\\-/-/g')
  warnings=$(gzip -dc "$root/usr/share/man/man1/$page.1.gz" | LC_ALL=C.UTF-8 groff -man -ww -z 2>&1)
  [ -z "$warnings" ] || fail "$page.1: $warnings"
  if [ $page = zorvex-messenger ]; then
    names=$(grep -oE -- '--[a-z-]+' <<<"$messenger_usage" | sort -u)
  else
    # Each command as the synopsis writes it: "zorvex-pbem watch".
    names=$(grep -oE '^ *(usage: )?zorvex-pbem [a-z]+' <<<"$pbem_usage" | sed 's/.*zorvex-pbem/zorvex-pbem/'
            grep -oE -- '--[a-z-]+' <<<"$pbem_usage" | sort -u)
  fi
  while read -r name; do
    grep -qF -- "$name" <<<"$src" || fail "$page.1 does not mention $name"
  done <<<"$names"
done

echo "--- lintian"
lintian --fail-on error "$deb" 2>&1 | grep -v "running with root privileges"
[ "${PIPESTATUS[0]}" -eq 0 ] || fail "lintian reported errors"

echo "--- desktop-file-validate, appstreamcli"
desktop-file-validate "$root/usr/share/applications/zorvex-messenger.desktop" ||
  fail "desktop entry not valid"
# The package's own metainfo file (an installed system has others).
mapfile -t metainfo < <(dpkg-deb -c "$deb" | grep -oE 'usr/share/metainfo/[^ ]+\.xml$' | sed "s|^|$root/|")
if [ ${#metainfo[@]} -ne 1 ] || [ ! -f "${metainfo[0]}" ]; then
  fail "expected one installed metainfo file in the package, found: ${metainfo[*]}"
else
  appstreamcli validate --no-net "${metainfo[0]}" || fail "metainfo not valid"
  launchable=$(grep -oP '(?<=<launchable type="desktop-id">)[^<]+' "${metainfo[0]}")
  [ -f "$root/usr/share/applications/$launchable" ] ||
    fail "the metainfo's launchable '$launchable' is not an installed desktop entry"
  grep -q "<release version=\"$version\"" "${metainfo[0]}" ||
    fail "the metainfo names no release $version"
fi

[ $status = 0 ] && echo "package $(basename "$deb") checked"
exit $status
