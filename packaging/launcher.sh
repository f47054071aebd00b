#!/bin/sh
# Starts the recorder from its program folder, wherever the installation was put.
here=$(dirname "$(readlink -f "$0")")
# The recorder works with X11; in a Wayland session Qt is asked for XWayland too.
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-xcb}"
exec "$here/../lib/rivive-zuzuve/RiviveZuzuve" "$@"
