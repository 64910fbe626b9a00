#!/usr/bin/env bash
# Installs what is needed, builds, lays out a sample installation folder and runs the program
# on it, then shows the game list and event files with zorvex-pbem.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -G "Unix Makefiles" >/dev/null
cmake --build build -j "$(nproc)" --target zorvex-messenger zorvex-pbem zorvex-make-sample >/dev/null

install=build/demo-install
rm -rf "$install"
build/bin/zorvex-make-sample "$install"
# The program finds its installation folder from where its executable lies.
cp build/bin/zorvex-messenger "$install/"
"$install/zorvex-messenger"

echo
echo "== zorvex-pbem dump $install/PBEM/PBEM.data"
build/bin/zorvex-pbem dump "$install/PBEM/PBEM.data"
echo
echo "== zorvex-pbem event $install/PBEM/*.event"
build/bin/zorvex-pbem event "$install"/PBEM/*.event
