#!/bin/sh
# Fails when a program without windows loads a Qt library: the window system must stay out of the
# command-line tools. (Which folder may include which is check_layers.sh's business.)
# Usage: check_no_window_system.sh PROGRAM...
set -u
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
exit $status
