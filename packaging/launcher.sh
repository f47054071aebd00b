#!/bin/sh
# Starts the recorder from its program folder, wherever the installation was put.
here=$(dirname "$(readlink -f "$0")")
exec "$here/../lib/rivive-zuzuve/RiviveZuzuve" "$@"
