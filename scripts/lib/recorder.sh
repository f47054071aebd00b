# Shell helpers for driving the built recorder inside a session (sourced by scripts/demo and
# scripts/screenshots).

RZ_MAIN_WINDOW='^Velmora Zudodo Raridevi$'
RZ_MESSAGE_BOX='^Rivive Zuzuve$'

# rz_copy_program FOLDER: a fresh copy of the build's program folder, without settings or log.
rz_copy_program() {
  rm -rf "$1"
  mkdir -p "$(dirname "$1")"
  cp -r build/bin "$1"
  rm -rf "$1/Config.ini" "$1/Diary"
}

# rz_wait_window PATTERN [SECONDS]: prints the id of the one visible window named PATTERN.
rz_wait_window() {
  local id
  for _ in $(seq $((${2:-20} * 10))); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  echo "no window named $1 appeared" >&2
  return 1
}

# rz_wait_log FILE TEXT [SECONDS]: waits until the log holds TEXT.
rz_wait_log() {
  for _ in $(seq $((${3:-20} * 10))); do
    grep -qF -- "$2" "$1" 2>/dev/null && return 0
    sleep 0.1
  done
  echo "the log $1 never said: $2" >&2
  return 1
}

# rz_wait_gone PID [SECONDS]
rz_wait_gone() {
  for _ in $(seq $((${2:-20} * 10))); do
    kill -0 "$1" 2>/dev/null || return 0
    sleep 0.1
  done
  echo "process $1 did not end" >&2
  return 1
}

# rz_close WINDOW PID: closes the main window as a user would and waits for the process.
rz_close() {
  xdotool windowactivate --sync "$1" key --clearmodifiers alt+F4
  rz_wait_gone "$2"
}

# rz_window_shot WINDOW FILE: a picture of one window.
rz_window_shot() {
  sleep 0.5  # let the last repaint land
  import -window "$1" "$2"
}
