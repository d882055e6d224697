# Sourced after env.sh: gives the prefix a screen. Starts Xvfb on a free
# display (stopped again when the calling script exits) and switches the
# prefix from the null graphics driver to Wine's X11 driver. Without a window
# manager Wine draws the window frames and captions itself and activates
# its windows itself. Wine's own fonts
# (Tahoma for dialogs, Marlett for the caption buttons) are linked into the
# prefix's Fonts folder, where this Wine looks for them.
# Usage: . tools/wine/x11.sh   (a 1024 x 768 screen, 24 bits, 96 dpi)
pm_x11_display=
for n in $(seq 90 130); do
  if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then pm_x11_display=$n; break; fi
done
[ -n "$pm_x11_display" ] || { echo "no free X display number" >&2; exit 1; }
Xvfb ":$pm_x11_display" -screen 0 1024x768x24 -dpi 96 -nolisten tcp >"$pm_wine_root/xvfb.log" 2>&1 &
pm_x11_pid=$!
pm_x11_stop() { kill "$pm_x11_pid" 2>/dev/null || true; wait "$pm_x11_pid" 2>/dev/null || true; }
export DISPLAY=":$pm_x11_display"
for _ in $(seq 100); do
  xdpyinfo >/dev/null 2>&1 && break
  kill -0 "$pm_x11_pid" 2>/dev/null || { echo "Xvfb did not start" >&2; exit 1; }
  sleep 0.1
done
wine reg delete 'HKCU\Software\Wine\Drivers' /v Graphics /f >/dev/null 2>&1 || true
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
if [ -d /usr/share/wine/fonts ]; then
  for f in /usr/share/wine/fonts/*; do ln -sf "$f" "$WINEPREFIX/drive_c/windows/Fonts/"; done
fi
wineserver -w
