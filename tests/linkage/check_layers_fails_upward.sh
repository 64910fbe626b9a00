#!/bin/sh
# The layer check itself: on a tiny tree with includes that go up it must fail and name exactly
# those includes, with file and line; the includes that go down must pass unnamed.
# Usage: check_layers_fails_upward.sh LINKAGE_DIR
set -u
dir=$1
output=$(sh "$dir/check_layers.sh" "$dir/fixture/layers.txt" "$dir/fixture")
status=$?
echo "$output"
if [ "$status" -ne 1 ]; then
  echo "expected exit status 1, got $status"
  exit 1
fi
expected='src/low/Core.h:2: low-core includes "low/Low.h" (low)
src/low/Use.h:3: low includes "high/High.h" (high)
src/low/Use.h:4: low includes "QWidget" (qt)'
actual=$(echo "$output" | sed 's/, which is not below it.*//')
if [ "$actual" != "$expected" ]; then
  echo "expected exactly these offending includes:"
  echo "$expected"
  exit 1
fi
