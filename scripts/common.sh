# Shared settings for the build, test and run scripts. Source it; do not run it.
VEXLO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
VEXLO_CACHE=${VEXLO_CACHE:-/var/cache/vexlo}
VEXLO_WINE=/usr/lib/wine/wine64
VEXLO_WINESERVER=/usr/lib/wine/wineserver64

export WINEPREFIX=${VEXLO_WINEPREFIX:-$VEXLO_CACHE/wineprefix}
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# The prefix's Desktop folder is a link into this scratch home.
export HOME=$VEXLO_CACHE/home
# Wine takes its code page (936) and formats from this locale.
VEXLO_LOCALE=${VEXLO_LANG:-zh_CN.UTF-8}

# No process started through these scripts may set the machine's clock.
vexlo_no_clock() {
    setpriv --bounding-set=-sys_time --inh-caps=-sys_time "$@"
}
