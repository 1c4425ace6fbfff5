#!/bin/sh
# Checks the include lines against the layers: the host's subsystems use only
# the browser library's published headers, only the WebKit back end sees WebKit
# or GTK, and the library reaches the host only through its configuration and
# the platform layer. Prints each offending line; exits 1 when there is one.
set -u
top=${1:-$(cd "$(dirname "$0")/../.." && pwd)}
cd "$top" || exit 2
bad=0

report() { # what, offending lines
    [ -n "$2" ] || return 0
    echo "check-layers: $1:"
    printf '%s\n' "$2" | sed 's/^/    /'
    bad=1
}

sources() { # folders...
    find "$@" -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.c' -o -name '*.in' \) 2>/dev/null | sort
}

outside=$(sources host config server navigation platform examples bench)
report "outside browserlib/, only browserlib/api/ and browserlib/MozillaFacade.h may be included" \
    "$(printf '%s\n' $outside | xargs -r grep -HnE '^\s*#\s*include\s+"browserlib/' |
        grep -vE '"browserlib/(api/[^"]+|MozillaFacade\.h)"')"

notwebkit=$(sources host config server navigation platform examples browserlib | grep -v '^browserlib/runtime/engine/webkit/')
report "only browserlib/runtime/engine/webkit/ may include WebKit, GTK, GDK or GLib" \
    "$(printf '%s\n' $notwebkit | xargs -r grep -HnE '^\s*#\s*include\s+<(webkit2?|gtk|gdk|glib|gio|libsoup|jsc|JavaScriptCore)[/.]')"

report "browserlib/ may include of the host only config/HostConfig.h and platform/" \
    "$(sources browserlib | xargs -r grep -HnE '^\s*#\s*include\s+"' |
        grep -vE '"(browserlib/[^"]+|config/HostConfig\.h|platform/[^"]+)"')"

report "an include names its file from the project root" \
    "$(sources host config server navigation platform examples bench browserlib tests |
        xargs -r grep -HnE '^\s*#\s*include\s+"[^"/]+"')"

if [ "$bad" -eq 0 ]; then
    echo "check-layers: every include keeps to its layer"
fi
exit "$bad"
