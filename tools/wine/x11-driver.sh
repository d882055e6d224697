# Sourced after env.sh, with DISPLAY naming a reachable X display: switches
# the prefix from the null graphics driver to Wine's X11 driver, so that its
# windows appear on that display. Wine's own fonts (Tahoma for dialogs,
# Marlett for the caption buttons) are linked into the prefix's Fonts folder,
# where this Wine looks for them.
# Usage: . tools/wine/x11-driver.sh [unmanaged]
#   unmanaged: Wine draws the window frames and captions itself and activates
#   its windows itself (for a screen without a window manager).
wine reg delete 'HKCU\Software\Wine\Drivers' /v Graphics /f >/dev/null 2>&1 || true
if [ "${1:-}" = unmanaged ]; then
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
fi
if [ -d /usr/share/wine/fonts ]; then
  for f in /usr/share/wine/fonts/*; do ln -sf "$f" "$WINEPREFIX/drive_c/windows/Fonts/"; done
fi
wineserver -w
