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


# A build folder's Wine world may have a network namespace of its own (scripts/wine-session
# --private-network): its wineserver, which makes every socket of its programs, its programs and
# its time service run there, so that nothing else on the machine can take their loopback
# addresses, and two worlds never meet.
vexlo_netns_name() { # WORLD_DIR
    echo "vexlo-$(printf '%s' "$1" | sha1sum | cut -c1-12)"
}
vexlo_in_netns() { # PROGRAM [ARGS...]
    if [ -n "${VEXLO_NETNS:-}" ]; then
        nsenter --net="/run/netns/$VEXLO_NETNS" "$@"
    else
        "$@"
    fi
}

# No process started through these scripts may set the machine's clock. Wine's programs and
# servers run in the world's network namespace, when it has one.
vexlo_no_clock() { # PROGRAM [ARGS...]
    vexlo_in_netns setpriv --bounding-set=-sys_time --inh-caps=-sys_time "$@"
}
