#!/bin/bash
# The Debian packages as a user gets them: made by packaging/make-packages.sh,
# checked by lintian, desktop-file-validate, appstreamcli and man, installed
# with apt-get; the installed host started on the demo's installed files; the
# installed demo started from its desktop entry's Exec line by an unprivileged
# user, quit, no process left, nothing written into the installed folders; and
# both packages purged again. It installs system-wide: root only (CI runs it as
# root on a throwaway machine); anyone else gets a skip.
. "$(dirname "$0")/lib.sh"

skip() { echo "skip - $1"; exit 0; }
[ "$(id -u)" -eq 0 ] || skip "installing packages needs root (CI runs this test as root)"
grep -q '^VELTA_SANITIZE:BOOL=ON' "$BUILD/CMakeCache.txt" && skip "a sanitizer build is not packaged"
for p in velta-host velta-demo; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q ' installed$' &&
        skip "$p is installed on this machine already; this test would purge it"
done
for tool in lintian desktop-file-validate dpkg-shlibdeps apt-get setpriv man; do
    command -v "$tool" > /dev/null || { fail "$tool is installed (scripts/install-deps.sh)"; finish; exit; }
done

VERSION=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$BUILD/CMakeCache.txt")
ARCH=$(dpkg --print-architecture)
APT="env DEBIAN_FRONTEND=noninteractive apt-get -y -q -o DPkg::Lock::Timeout=120"
INSTALLED=""
USERNAME=nobody

leftovers() { # processes running a program of the installed demo
    for exe in /proc/[0-9]*/exe; do
        case "$(readlink "$exe" 2>/dev/null)" in /usr/lib/velta-demo/*) p=${exe#/proc/}; echo "${p%/exe}" ;; esac
    done
}
uninstall() {
    for pid in $(leftovers); do kill -9 "$pid" 2>/dev/null; done
    if [ -n "$INSTALLED" ]; then
        $APT purge velta-demo velta-host >> "$WORK/apt.out" 2>&1
        INSTALLED=""
    fi
}
trap 'uninstall; cleanup' EXIT
# apt's download user and the test's user both reach into the work folder.
chmod 755 "$WORK"
# The hosts' instance locks in a session folder of the test's own.
mkdir -m 700 "$WORK/runtime"
export XDG_RUNTIME_DIR="$WORK/runtime"

# --- cmake --install under a prefix of the test's own: the installed demo
# runs from there, with nothing of the build or source tree.
PREFIX="$WORK/prefix"
cmake --install "$BUILD" --prefix "$PREFIX" --strip > "$WORK/install.out" 2>&1
check "cmake --install installs the host, its manual page, the demo and its desktop entry" \
    test -x "$PREFIX/bin/velta-host" -a -f "$PREFIX/share/man/man1/velta-host.1.gz" -a -x "$PREFIX/bin/velta-demo" \
    -a -f "$PREFIX/share/applications/org.example.VeltaDemo.desktop" -a -f "$PREFIX/share/doc/velta-host/copyright"
LOG="$WORK/prefix-home/.local/share/velta-demo/velta-demo.log"
( cd / && HOME="$WORK/prefix-home" BROWSER=/bin/true exec "$PREFIX/bin/velta-demo" ) > "$WORK/host.out" 2>&1 &
HOST=$!
if app=$(wait_window "Velta Demo" 30); then
    pass "the demo installed below $PREFIX shows its start page"
    check "it reads the configuration beside its installed host" \
        grep -q "configuration $PREFIX/lib/velta-demo/app.config.xml," "$LOG"
    key "$app" alt+q
    wait_exit "$HOST" 15
    check "it quits with exit code 0 (got $EXIT_CODE)" test "$EXIT_CODE" = 0
else
    fail "the demo installed below $PREFIX shows its start page"
fi
kill -9 "$HOST" 2>/dev/null

# --- The packages.
begin=$(date +%s.%N)
"$TOP/packaging/make-packages.sh" "$BUILD" "$WORK/packages" > "$WORK/make.out" 2>&1
made=$?
TOOK=$(echo "$(date +%s.%N) - $begin" | bc)
HOST_DEB="$WORK/packages/velta-host_${VERSION}_${ARCH}.deb"
DEMO_DEB="$WORK/packages/velta-demo_${VERSION}_${ARCH}.deb"
check "make-packages.sh makes velta-host_${VERSION}_${ARCH}.deb and velta-demo_${VERSION}_${ARCH}.deb (took ${TOOK%??????} s)" \
    test "$made" = 0 -a -f "$HOST_DEB" -a -f "$DEMO_DEB"
if [ ! -f "$HOST_DEB" ] || [ ! -f "$DEMO_DEB" ]; then
    cat "$WORK/make.out"
    finish
    exit
fi
for deb in "$HOST_DEB" "$DEMO_DEB"; do
    file=$(basename "$deb") # (check sets $name)
    echo "# $file: $(stat -c %s "$deb") bytes; Depends: $(dpkg-deb -f "$deb" Depends)"
    check "$file: run-time dependencies computed (libc6, WebKitGTK 4.1, wxWidgets 3.2)" \
        bash -c "dpkg-deb -f '$deb' Depends | grep -q 'libc6 ' && dpkg-deb -f '$deb' Depends | grep -q 'libwebkit2gtk-4.1-0' &&
                 dpkg-deb -f '$deb' Depends | grep -q 'libwxgtk3.2'"
    check "$file: the project's version" test "$(dpkg-deb -f "$deb" Version)" = "$VERSION"
    check "$file: a synopsis and a long description" \
        test "$(dpkg-deb -f "$deb" Description | wc -l)" -ge 4
done

lintian --tag-display-limit 0 "$HOST_DEB" "$DEMO_DEB" > "$WORK/lintian.txt" 2>&1
sed -n 's/^[EW]: /# lintian: &/p' "$WORK/lintian.txt"
check "lintian: no error ($(grep -c '^E: ' "$WORK/lintian.txt") errors, $(grep -c '^W: ' "$WORK/lintian.txt") warnings)" \
    bash -c "! grep -q '^E: ' '$WORK/lintian.txt'"

ROOT="$WORK/root"
dpkg-deb -x "$HOST_DEB" "$ROOT"
dpkg-deb -x "$DEMO_DEB" "$ROOT"
DESKTOP=$(ls "$ROOT"/usr/share/applications/*.desktop)
check "the desktop entry is valid ($(basename "$DESKTOP"))" desktop-file-validate "$DESKTOP"
if command -v appstreamcli > /dev/null; then
    appstreamcli validate --no-net "$ROOT"/usr/share/metainfo/*.metainfo.xml > "$WORK/appstream.txt" 2>&1
    valid=$?
    check "the AppStream metadata is valid ($(tail -n 1 "$WORK/appstream.txt"))" test "$valid" = 0
    [ "$valid" = 0 ] || cat "$WORK/appstream.txt"
else
    echo "# appstreamcli is not installed: AppStream metadata not validated"
fi
for page in "$ROOT"/usr/share/man/man1/*.1.gz; do
    check "man -l renders $(basename "$page") without a warning" bash -c \
        "out=\$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z '$page' 2>&1 > /dev/null) && [ -z \"\$out\" ]"
done

# --- Installation.
INSTALLED=yes
check "apt-get installs both packages" bash -c "$APT install --no-install-recommends '$HOST_DEB' '$DEMO_DEB' >> '$WORK/apt.out' 2>&1"
check "dpkg knows both as installed" bash -c \
    "dpkg-query -W -f='\${Status}\n' velta-host velta-demo | grep -c 'install ok installed' | grep -qx 2"
check "the host is /usr/bin/velta-host, its manual page velta-host(1)" \
    bash -c "test -x /usr/bin/velta-host && man -w velta-host | grep -q '^/usr/share/man/man1/velta-host.1.gz$'"
check "the installed host holds no path of the build tree and no run path" \
    bash -c "! grep -q '$BUILD' /usr/bin/velta-host && ! readelf -d /usr/bin/velta-host | grep -Eq 'R(UN)?PATH'"
check "the demo's program folder: host, app.config.xml, webapp/, appserver/" bash -c \
    "test -x /usr/lib/velta-demo/velta-demo -a -f /usr/lib/velta-demo/app.config.xml -a -f /usr/lib/velta-demo/webapp/index.html \
     -a -x /usr/lib/velta-demo/appserver/velta-demo-server"
stamp="$WORK/installed.stamp"
touch "$stamp"
sleep 1

# --- The installed host on the demo: a program folder of links to installed
# files and the example configuration the host's package carries.
APP="$WORK/demo"
mkdir -p "$APP" "$WORK/home"
ln -s /usr/bin/velta-host "$APP/velta-host"
ln -s /usr/share/velta-demo/webapp "$APP/webapp"
sed -e "s#>../appserver<#>/usr/lib/velta-demo/appserver<#" -e "s#--start-delay 1.5#--start-delay 0#" \
    -e "s#<object name=\"AppDataDirectory\" class=\"configuration\">[^<]*<#<object name=\"AppDataDirectory\" class=\"configuration\">$WORK/logs<#" \
    /usr/share/doc/velta-host/examples/app.config.xml > "$APP/app.config.xml"
LOG="$WORK/logs/velta-demo.log"
export HOME="$WORK/home" BROWSER=/bin/true
start_host
if app=$(wait_window "Velta Demo" 30); then
    pass "the installed velta-host shows the demo's start page"
    check "it is the installed program, version $VERSION" grep -q "HostApp::OnInit velta-host $VERSION, configuration $APP/app.config.xml" "$LOG"
    key "$app" alt+q
    wait_exit "$HOST" 15
    check "the installed velta-host quits with exit code 0 (got $EXIT_CODE)" test "$EXIT_CODE" = 0
else
    fail "the installed velta-host shows the demo's start page"
fi
kill -9 "$HOST" 2>/dev/null

# --- The installed demo as a user starts it: the desktop entry's command
# line, run by an unprivileged user with a home of its own.
DESKTOP=$(dpkg -L velta-demo | grep '^/usr/share/applications/.*\.desktop$')
EXEC=$(sed -n 's/^Exec=//p' "$DESKTOP" | head -n 1 | sed 's/ *%[a-zA-Z]//g')
USERDIR="$WORK/user"
mkdir -p "$USERDIR/home" "$USERDIR/runtime"
chmod 700 "$USERDIR/runtime"
[ -n "${XAUTHORITY:-}" ] && cp "$XAUTHORITY" "$USERDIR/Xauthority"
chown -R "$USERNAME:$(id -gn "$USERNAME")" "$USERDIR"
before=$(pgrep -u "$USERNAME" | sort | paste -sd' ')
LOG="$USERDIR/home/.local/share/velta-demo/velta-demo.log"
( cd / && exec setpriv --reuid="$USERNAME" --regid="$(id -g "$USERNAME")" --clear-groups \
    env -i PATH=/usr/local/bin:/usr/bin:/bin HOME="$USERDIR/home" XDG_RUNTIME_DIR="$USERDIR/runtime" DISPLAY="${DISPLAY:-}" \
    XAUTHORITY="$USERDIR/Xauthority" BROWSER=/bin/true sh -c "exec $EXEC" ) > "$WORK/host.out" 2>&1 &
HOST=$!
if app=$(wait_window "Velta Demo" 40); then
    pass "the desktop entry's Exec line ($EXEC) shows the demo's start page"
    pid=$(xdotool getwindowpid "$app")
    check "the window is the host in /usr/lib/velta-demo ($(readlink /proc/$pid/exe))" \
        test "$(readlink /proc/$pid/exe)" = /usr/lib/velta-demo/velta-demo
    check "it runs as $USERNAME" test "$(stat -c %U /proc/$pid)" = "$USERNAME"
    check "its window class is the desktop entry's StartupWMClass" \
        bash -c "xprop -id $app WM_CLASS | grep -q \"\\\"$(sed -n 's/^StartupWMClass=//p' "$DESKTOP")\\\"\""
    check "the log is in the user's ~/.local/share/velta-demo" \
        grep -q "configuration /usr/lib/velta-demo/app.config.xml, log $LOG$" "$LOG"
    check "the browser data is in the user's ~/.local/share/velta-demo/browser" \
        bash -c "ls '$USERDIR/home/.local/share/velta-demo/browser/'* > /dev/null 2>&1"
    # Links and files of the demo's own, through the desktop, into the running window.
    as_user() { # the user's session: its home, its display, the desktop's tools
        setpriv --reuid="$USERNAME" --regid="$(id -g "$USERNAME")" --clear-groups \
            env -i PATH=/usr/local/bin:/usr/bin:/bin HOME="$USERDIR/home" XDG_RUNTIME_DIR="$USERDIR/runtime" \
            DISPLAY="${DISPLAY:-}" XAUTHORITY="$USERDIR/Xauthority" "$@"
    }
    check "the desktop entry passes links and files (%U)" grep -q '^Exec=velta-demo %U$' "$DESKTOP"
    check "it names the demo's scheme and file type" \
        grep -qx 'MimeType=x-scheme-handler/demo-scheme;application/x-velta-demo;' "$DESKTOP"
    ( cd / && as_user xdg-open "demo-scheme:package/1" ) > "$WORK/xdg-open.out" 2>&1
    check "xdg-open demo-scheme:package/1 shows its page in the running window" \
        wait_title "$app" "Velta Demo - Opened demo-scheme:package/1" 20
    as_user sh -c "printf 'report\n' > '$USERDIR/home/report.veltademo'"
    type=$(cd / && as_user XDG_CURRENT_DESKTOP=GNOME xdg-mime query filetype "$USERDIR/home/report.veltademo" 2>&1)
    check "a .veltademo file is of the demo's type ($type)" test "$type" = application/x-velta-demo
    ( cd / && as_user XDG_CURRENT_DESKTOP=GNOME xdg-open "$USERDIR/home/report.veltademo" ) >> "$WORK/xdg-open.out" 2>&1
    check "xdg-open of the file shows it in the running window" \
        wait_title "$app" "Velta Demo - Opened $USERDIR/home/report.veltademo" 20
    one_demo() { for _ in $(seq 50); do [ "$(pgrep -c -u "$USERNAME" -x velta-demo)" = 1 ] && return 0; sleep 0.1; done; return 1; }
    check "the second starts ended; one demo runs" one_demo
    key "$app" alt+b # back to the start page, whose Quit the user takes
    wait_title "$app" "Velta Demo" 10
    group=$(grep -o 'ServerProcess::Start. Process [0-9]*' "$LOG" | tail -n 1 | awk '{print $3}')
    key "$app" alt+q
    wait_exit "$HOST" 15
    check "quit: exit code 0 (got $EXIT_CODE)" test "$EXIT_CODE" = 0
    check "quit: the server got its shutdown request" grep -q 'server: POST /shutdown' "$LOG"
    gone() {
        for _ in $(seq 50); do
            [ -z "$(leftovers)" ] && [ "$(pgrep -u "$USERNAME" | sort | paste -sd' ')" = "$before" ] &&
                { [ -z "$group" ] || ! pgrep -g "$group" > /dev/null; } && return 0
            sleep 0.1
        done
        ps -o pid,user,args -u "$USERNAME"
        return 1
    }
    check "quit: no process of the demo, its server or its engine is left" gone
else
    fail "the desktop entry's Exec line ($EXEC) shows the demo's start page"
fi
kill -9 "$HOST" 2>/dev/null
check "nothing was written into the installed folders" bash -c \
    "[ -z \"\$(find /usr/lib/velta-demo /usr/share/velta-demo /usr/share/doc/velta-host -newer '$stamp')\" ] &&
     [ -z \"\$(dpkg --verify velta-host velta-demo)\" ]"

# --- Removal.
check "apt-get purges both packages" bash -c "$APT purge velta-demo velta-host >> '$WORK/apt.out' 2>&1"
INSTALLED=""
check "nothing of them is left" bash -c "! dpkg-query -W -f='\${Status}\n' velta-host velta-demo 2>/dev/null | grep -q installed &&
    test ! -e /usr/bin/velta-host -a ! -e /usr/bin/velta-demo -a ! -e /usr/lib/velta-demo -a ! -e /usr/share/velta-demo"
[ "$FAILS" -gt 0 ] && tail -n 30 "$WORK/apt.out"
finish
