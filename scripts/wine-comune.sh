# Shared by the scripts that run the game or its tests under Wine: the Wine
# environment and a private X display. Sourced, not run:
#   . "$qui/wine-comune.sh"
#
#   ambiente_wine PREFIX [win32|win64]
#       exports WINEPREFIX=PREFIX, WINEARCH (the one given; else the kind of
#       the prefix when it exists; else win32), WINEDEBUG (-all unless the
#       caller set it, to look into a failure) and WINEDLLOVERRIDES (no Mono,
#       no Gecko, no menu entries on the user's desktop)
#   senza_schermo
#       forgets the user's display, so that Wine never draws on it
#   xvfb_avvia [LOG]
#       starts Xvfb (1280x1024, 24 bits) on a display number that nobody uses,
#       waits until it accepts connections, and exports DISPLAY; Xvfb's pid is
#       in $xvfb_pid and its messages go to LOG (default /dev/null)
#   xvfb_ferma
#       stops that Xvfb

ambiente_wine() {
    WINEPREFIX=$1
    WINEARCH=${2:-}
    if [ -z "$WINEARCH" ]; then
        # Wine refuses a WINEARCH that differs from the prefix's own kind.
        if grep -q '^#arch=win64' "$1/system.reg" 2>/dev/null; then
            WINEARCH=win64
        else
            WINEARCH=win32
        fi
    fi
    WINEDEBUG=${WINEDEBUG:--all}
    WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    export WINEPREFIX WINEARCH WINEDEBUG WINEDLLOVERRIDES
}

senza_schermo() {
    unset DISPLAY WAYLAND_DISPLAY
}

xvfb_pid=
xvfb_pronto() {
    [ -e /tmp/.X11-unix/X$1 ] && [ "$(tr -d ' \n' </tmp/.X$1-lock 2>/dev/null)" = "$xvfb_pid" ]
}

xvfb_avvia() {
    _registro=${1:-/dev/null}
    _n=90
    while [ $_n -lt 200 ]; do
        if [ -e /tmp/.X$_n-lock ] || [ -e /tmp/.X11-unix/X$_n ]; then
            _n=$((_n + 1))
            continue
        fi
        Xvfb :$_n -screen 0 1280x1024x24 -nolisten tcp >"$_registro" 2>&1 &
        xvfb_pid=$!
        _i=0
        # The display is ours once its lock names our Xvfb and its socket is
        # there. Another program may have taken the same number meanwhile:
        # then this Xvfb ends at once and the next number is tried.
        while ! xvfb_pronto $_n && [ $_i -lt 100 ] && kill -0 "$xvfb_pid" 2>/dev/null; do
            sleep 0.1
            _i=$((_i + 1))
        done
        if xvfb_pronto $_n && kill -0 "$xvfb_pid" 2>/dev/null; then
            DISPLAY=:$_n
            export DISPLAY
            unset WAYLAND_DISPLAY
            return 0
        fi
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
        xvfb_pid=
        _n=$((_n + 1))
    done
    echo "Xvfb did not start on any display from :90 to :199" >&2
    return 1
}

xvfb_ferma() {
    [ -n "$xvfb_pid" ] || return 0
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=
    return 0
}
