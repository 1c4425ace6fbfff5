#!/bin/bash
# Pages are told the interface language first, then the desktop's locale:
# navigator.language, navigator.languages and the Accept-Language header.
. "$(dirname "$0")/lib.sh"

serve_pages
export HOME="$WORK/home"; mkdir -p "$HOME"

# languages NAME UILANGUAGE LANG EXPECTED-TITLE-REGEX
languages() {
    make_program_dir "$WORK/$1" "<c>
<object name=\"StartUrl\" class=\"configuration\">http://127.0.0.1:$PORT/languages</object>
<object name=\"UILanguage\" class=\"configuration\">$2</object>
<object name=\"AppDataDirectory\" class=\"configuration\">$WORK/$1</object>
<object name=\"Logging\" class=\"configuration\" enable=\"true\" file=\"host.log\" level=\"message\"/>
</c>"
    LOG="$WORK/$1/host.log"
    ( cd / && LANG=$3 LANGUAGE= LC_ALL= LC_MESSAGES= exec "$WORK/$1/velta-host" -no_server ) >> "$WORK/host.out" 2>&1 &
    HOST=$!
    if win=$(wait_window "lang .*" 60); then
        title=$(xdotool getwindowname "$win")
        check "$1: '$title' matches '$4'" bash -c "grep -Eq -- '$4' <<< '$title'"
    else
        fail "$1: the page shows its languages"
    fi
    kill -TERM "$HOST"; wait_exit "$HOST" 30; kill -9 "$HOST" 2>/dev/null
}

languages german de C.UTF-8 '^lang de \| de \| de$'
# The engine tells scripts the first language alone (navigator.languages too);
# the header carries the whole list, weighted.
languages german-desktop de de_DE.UTF-8 '^lang de \| de \| de,de-DE;q=0\.90$'
languages english-on-german en de_DE.UTF-8 '^lang en \| en \| en,de-DE;q=0\.90,de;q=0\.80$'
finish
