# Sourced: points Wine at a throwaway prefix below the given root folder and
# keeps it away from the user's own ~/.wine, desktop and menus.
# Usage: . tools/wine/env.sh <root>
pm_wine_root=$(realpath -m "${1:?wine root folder}")
export WINEPREFIX="$pm_wine_root/prefix"
export HOME="$pm_wine_root/home"
export XDG_DATA_HOME="$HOME/.local/share"
export XDG_CONFIG_HOME="$HOME/.config"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEARCH=win64
unset WINESERVER
mkdir -p "$HOME"
