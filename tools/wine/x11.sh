# Sourced after env.sh: gives the prefix a screen. Starts Xvfb on a free
# display (stopped again with pm_x11_stop) and switches the prefix from the
# null graphics driver to Wine's X11 driver (x11-driver.sh); without a window
# manager Wine draws the window frames and captions itself.
# Usage: . tools/wine/x11.sh   (a 1024 x 768 screen, 24 bits, 96 dpi;
#        PM_X11_SCREEN=<width>x<height> for another size)
pm_x11_display=
for n in $(seq 90 130); do
  if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then pm_x11_display=$n; break; fi
done
[ -n "$pm_x11_display" ] || { echo "no free X display number" >&2; exit 1; }
Xvfb ":$pm_x11_display" -screen 0 "${PM_X11_SCREEN:-1024x768}x24" -dpi 96 -nolisten tcp >"$pm_wine_root/xvfb.log" 2>&1 &
pm_x11_pid=$!
pm_x11_stop() { kill "$pm_x11_pid" 2>/dev/null || true; wait "$pm_x11_pid" 2>/dev/null || true; }
export DISPLAY=":$pm_x11_display"
for _ in $(seq 100); do
  xdpyinfo >/dev/null 2>&1 && break
  kill -0 "$pm_x11_pid" 2>/dev/null || { echo "Xvfb did not start" >&2; exit 1; }
  sleep 0.1
done
. "$(dirname "${BASH_SOURCE[0]}")/x11-driver.sh" unmanaged
