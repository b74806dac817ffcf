# Sourced by the scripts that draw on a virtual display: start_xvfb starts
# Xvfb on the first free display number from 99 down (a display that
# another session runs is left alone), exports DISPLAY, sets xvfb_pid for
# the caller's clean-up, and fails when the display does not come up.
start_xvfb() {
  local display=99
  while [ -e "/tmp/.X$display-lock" ] && [ "$display" -gt 50 ]; do display=$((display - 1)); done
  Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=:$display
  for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  xdpyinfo >/dev/null 2>&1 || { echo "Xvfb did not start on $DISPLAY" >&2; return 1; }
}
