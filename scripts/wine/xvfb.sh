# Sourced by the scripts that draw on a virtual display: start_xvfb starts
# Xvfb on a display number the server picks itself (-displayfd: it binds a
# free one and reports it once it accepts connections, so two scripts
# starting at once never race for the same number), exports DISPLAY, sets
# xvfb_pid for the caller's clean-up, and fails when no display comes up.
start_xvfb() {
  local reported
  reported=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$reported" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$reported" ] && break; sleep 0.1; done
  local display
  display=$(head -n1 "$reported")
  rm -f "$reported"
  export DISPLAY=:$display
  [ -n "$display" ] && xdpyinfo >/dev/null 2>&1 || { echo "Xvfb did not start (display \"$display\")" >&2; return 1; }
}
