#!/bin/sh
# Fails when a program without windows loads a Qt library, or when the game model includes a
# header of the window layer: either would pull the window system into the command-line tools.
# Usage: check_no_window_system.sh SOURCE_DIR PROGRAM...
set -u
source_dir=$1
shift
status=0
for program in "$@"; do
  if ! libraries=$(ldd "$program"); then
    echo "ldd failed on $program"
    status=1
    continue
  fi
  if echo "$libraries" | grep -i 'libQt'; then
    echo "$program loads the libraries above"
    status=1
  fi
done
# Headers of the window layer, or of the pictures built on it.
if grep -rnE '#include *[<"](Q[A-Za-z]|qt|platform/|ui/|res/(MaskedBitmap|ImageLoadReport|FlagImages)\.h)' \
    "$source_dir/src/pbem"; then
  echo "src/pbem includes the headers above"
  status=1
fi
exit $status
