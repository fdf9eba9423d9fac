# Sourced by the scripts that run Windows programs under Wine
# (tools/test-windows.sh, tools/windows-screenshots.sh). Sets up, for the
# rest of the calling script:
# - WINEPREFIX=<tree>/build/wine-prefix, initialised before any program runs
#   (the services a new prefix starts outlive the program that started them,
#   and would otherwise hold a test runner's output pipes open);
# - one Wine server for the whole run, so that each program starts in a
#   moment; a server already running for the prefix serves as well;
# - Wine's own fonts in the prefix (the dialogs' fonts and the caption
#   buttons' symbols), and windows that Wine frames itself rather than a
#   window manager (without one, Wine waits two seconds for every window it
#   hides);
# - a display: an Xvfb server when DISPLAY is not set.
# Everything it started is stopped when the calling script exits.
# A script may set, before sourcing this, wine_session_prefix (another
# prefix), wine_session_wine and wine_session_server (another Wine, such as
# a 32-bit one: its loader and its server).

export WINEPREFIX="${wine_session_prefix:-$PWD/build/wine-prefix}" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine_session_wine=${wine_session_wine:-/usr/lib/wine/wine64}
wine_session_server=${wine_session_server:-/usr/lib/wine/wineserver64}
mkdir -p "$WINEPREFIX"
"$wine_session_server" -p 2>/dev/null || true

wine_session_xvfb=""
wine_session_stop() {
  "$wine_session_server" -k 2>/dev/null || true
  if [[ -n $wine_session_xvfb ]]; then kill "$wine_session_xvfb" 2>/dev/null || true; fi
}
trap wine_session_stop EXIT

if [[ -z ${DISPLAY:-} ]]; then
  displayfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$displayfile" >/dev/null 2>&1 &
  wine_session_xvfb=$!
  for _ in $(seq 100); do
    [[ -s $displayfile ]] && break
    sleep 0.1
  done
  if [[ ! -s $displayfile ]]; then
    echo "Xvfb did not start" >&2
    exit 1
  fi
  export DISPLAY=":$(head -n1 "$displayfile")"
  rm -f "$displayfile"
fi

"$wine_session_wine" wineboot --init </dev/null >/dev/null 2>&1
"$wine_session_wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
fonts="$WINEPREFIX/drive_c/windows/Fonts"
if [[ -d /usr/share/wine/fonts && -d $fonts ]]; then
  cp -n /usr/share/wine/fonts/* "$fonts/" 2>/dev/null || true
fi
