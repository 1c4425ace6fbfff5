#!/bin/bash
# A real notebook server (Debian's Jupyter Notebook) behind the host, used as
# its users use it, under a real window manager: a notebook in a window of its
# own, its kernel through the WebSocket, the editor's own keys, unsaved work
# asked about across windows when the main window closes, a download, and the
# notebook's own Quit. Every close goes through the window manager.
. "$(dirname "$0")/lib.sh"

if ! command -v jupyter-notebook > /dev/null || ! command -v openbox > /dev/null; then
    echo "jupyter-notebook or openbox missing: scripts/install-deps.sh installs them"
    fail "the notebook server and the window manager are installed"
    finish
    exit 1
fi

export HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/.config"
mkdir -p "$HOME/Downloads" "$XDG_CONFIG_HOME" "$WORK/notebooks"
echo 'XDG_DOWNLOAD_DIR="$HOME/Downloads"' > "$XDG_CONFIG_HOME/user-dirs.dirs"
/usr/bin/python3 - "$WORK/notebooks/work.ipynb" <<'PY'
import json, sys
cell = {"cell_type": "code", "execution_count": None, "metadata": {}, "outputs": [],
        "source": ["print(6*7)"]}
json.dump({"cells": [cell], "metadata": {"kernelspec": {"display_name": "Python 3",
           "language": "python", "name": "python3"}}, "nbformat": 4, "nbformat_minor": 5},
          open(sys.argv[1], "w"))
PY
# As root (CI) the server must be told that it may run so.
root=""
[ "$(id -u)" -eq 0 ] && root="--allow-root"
LOG="$WORK/notebook.log"
# The server keeps its own token: the host's secret of the run.
make_program_dir "$WORK/app" "<configuration>
<object name=\"StartUrl\" class=\"configuration\">http://127.0.0.1:VELTA_SERVER_PORT/tree?token=VELTA_SERVER_TOKEN</object>
<object name=\"ServerEnvironment\" class=\"configuration\">JUPYTER_TOKEN=VELTA_SERVER_TOKEN</object>
<object name=\"ServerUrl\" class=\"configuration\">http://127.0.0.1:VELTA_SERVER_PORT/api</object>
<object name=\"ServerDirectory\" class=\"configuration\">$WORK/notebooks</object>
<object name=\"ServerStartCommand\" class=\"configuration\">jupyter-notebook --no-browser $root --ip=127.0.0.1 --port=VELTA_SERVER_PORT --port-retries=0 --notebook-dir=$WORK/notebooks</object>
<object name=\"PathEnvVar\" class=\"configuration\">/usr/bin:/bin</object>
<object name=\"ServerPort\" class=\"configuration\" baseport=\"18888\"/>
<object name=\"CommandPrefix\" class=\"configuration\">velta:</object>
<object name=\"UILanguage\" class=\"configuration\">en</object>
<object name=\"AppDataDirectory\" class=\"configuration\">$WORK</object>
<object name=\"Logging\" class=\"configuration\" enable=\"true\" file=\"notebook.log\" level=\"message\"/>
</configuration>"
start_wm || { fail "the window manager starts"; finish; exit 1; }

TREE="Home Page - Select or create a notebook"
NOTEBOOK="work - Jupyter Notebook"
notebook_host() {
    : > "$LOG"
    began=$(date +%s.%N)
    ( cd / && exec "$WORK/app/velta-host" ) > "$WORK/host.out" 2>&1 &
    HOST=$!
}
cells() { # the saved notebook's cells, one line each: source | outputs
    /usr/bin/python3 -c 'import json,sys
for c in json.load(open(sys.argv[1]))["cells"]:
    out = "".join("".join(o.get("text", [])) for o in c.get("outputs", []))
    print("".join(c["source"]).replace("\n", " "), "|", out.strip())' "$WORK/notebooks/work.ipynb"
}
leave_box() { wait_window "http://127.0.0.1:$(grep -o 'found port=[0-9]*' "$LOG" | head -n 1 | cut -d= -f2)" "$1"; }
answer() { # answer BOX y|n
    xdotool windowfocus --sync "$1" 2>/dev/null; sleep 0.3
    xdotool key --clearmodifiers "alt+$2"
}
dirty() { # a change in the notebook's last cell, unsaved
    click_in "$1" 400 "$2"; sleep 0.3
    xdotool type --delay 20 "$3"; sleep 0.5
}

# --- The journey: open a notebook, run a cell, edit with the editor's keys.
notebook_host
if tree=$(wait_window "$TREE" 90); then
    pass "the notebook server's start page shows, $(since "$began") s after the launch"
    screenshot "notebook-tree.png"
    # The server prints its address with its token; the log shows "…" for it.
    check "the server's own token (the run's secret) is masked in the log" wait_log "token=…" 10
    open_notebook() { # work.ipynb in the file list, once the list has come
        for _ in $(seq 20); do
            click_in "$tree" 138 199
            nb=$(wait_window "$NOTEBOOK" 3) && return 0
        done
        return 1
    }
    if open_notebook; then
        pass "the notebook opens in a window of its own"
        main_at=$(wmctrl -lG | awk -v id="$(printf '0x%08x' "$tree")" '$1 == id {print $3, $4}')
        nb_at=$(wmctrl -lG | awk -v id="$(printf '0x%08x' "$nb")" '$1 == id {print $3, $4}')
        check "not exactly over the main window ($nb_at, main $main_at)" test "$nb_at" != "$main_at"
        wait_log "Kernel started\|KernelRestarter\|Starting buffering" 30
        sleep 2
        click_in "$nb" 400 167 # the cell
        xdotool key --clearmodifiers End; xdotool type --delay 20 " # draft"
        xdotool key --clearmodifiers alt+Left # the editor: to the line's start
        xdotool type --delay 20 "x = 1; "
        xdotool key --clearmodifiers ctrl+shift+minus # the editor: split the cell
        sleep 0.5
        xdotool key --clearmodifiers shift+Return # run the second cell
        sleep 3
        xdotool key --clearmodifiers ctrl+s
        saved() { for _ in $(seq 100); do cells | grep -q '^print(6\*7) # draft | 42$' && return 0; sleep 0.1; done; return 1; }
        check "a cell ran through the kernel and the notebook saved" saved
        saved_cells=$(cells)
        check "Alt+Left reached the editor (line start)" grep -q '^x = 1;' <<< "$saved_cells"
        check "Ctrl+Shift+Minus reached the editor (cell split)" test "$(wc -l <<< "$saved_cells")" -ge 2
        check "none of these keys was the host's" bash -c "! grep -q 'OnBrowserKey' '$LOG'"
        screenshot "notebook-edited.png"

        # --- Unsaved work in the notebook window; the main window closes.
        dirty "$nb" 269 "y = 2"
        wm_close "$tree"
        if box=$(leave_box 20); then
            pass "closing the main window asks the notebook's page first"
            check "naming its window" grep -q "asks before it goes: \"$NOTEBOOK\"" "$LOG"
            screenshot "notebook-leave.png"
            answer "$box" n
            sleep 1
            check "No: the host still runs" kill -0 $HOST
            check "No: the notebook window stays" wait_window "$NOTEBOOK" 5
            check "No: the main window stays" wait_window "$TREE" 5
        else
            fail "closing the main window asks the notebook's page first"
        fi

        # --- Download as .ipynb: the file lands, no window is left.
        click_in "$nb" 74 57; sleep 0.8 # File
        click_in_move() { xdotool mousemove --window "$nb" "$1" "$2"; sleep 0.4; }
        click_in_move 106 335; click_in_move 345 335; click_in_move 345 430 # Download as, Notebook
        xdotool click 1
        if dialog=$(wait_window "Download" 30); then
            xdotool windowfocus --sync "$dialog" 2>/dev/null; sleep 0.5
            xdotool key --clearmodifiers Return
            check "the download lands in the download folder" bash -c "for _ in \$(seq 100); do [ -s '$HOME/Downloads/work.ipynb' ] && exit 0; sleep 0.1; done; exit 1"
            left() { for _ in $(seq 50); do xdotool search --onlyvisible --name '^New window [0-9]*$' > /dev/null || return 0; sleep 0.1; done; return 1; }
            check "and no window is left behind" left
        else
            screenshot "notebook-download-failed.png"
            fail "Download as asks where to save"
        fi

        # --- Yes: everything ends, exit 0.
        dirty "$nb" 269 "z = 3"
        wm_close "$tree"
        if box=$(leave_box 20); then
            answer "$box" y
            check "Yes: the host ends" wait_exit $HOST 30
            check "Yes: with exit code 0 ($EXIT_CODE)" test "$EXIT_CODE" = 0
            server_gone() { ! pgrep -f -- "--notebook-dir=$WORK/notebooks" > /dev/null; }
            check "and the server with it" server_gone
        else
            fail "the second close asks again"
        fi
    else
        screenshot "notebook-open-failed.png"
        fail "the notebook opens in a window of its own"
    fi
else
    screenshot "notebook-start-failed.png"
    fail "the notebook server's start page shows"
fi
kill -9 $HOST 2>/dev/null
pkill -f -- "--notebook-dir=$WORK/notebooks" 2>/dev/null

# --- The notebook's own Quit: exit 0, no message; then closes without work,
# through the window manager, again and again.
notebook_host
if tree=$(wait_window "$TREE" 90); then
    sleep 1
    click_in "$tree" 883 19 # Quit
    check "the notebook's Quit ends the host" wait_exit $HOST 30
    check "with exit code 0 ($EXIT_CODE)" test "$EXIT_CODE" = 0
    check "as the application's own quit" grep -q "the application's own quit" "$LOG"
    check "with no fatal message" bash -c "! grep -q 'the server ended while the application was shown' '$LOG'"
else
    fail "the start page shows for the Quit"
fi
kill -9 $HOST 2>/dev/null
for run in 1 2; do
    notebook_host
    if tree=$(wait_window "$TREE" 90); then
        sleep 1
        wm_close "$tree"
        check "run $run: the window manager's close ends the host at the first request" wait_exit $HOST 15
        check "run $run: exit code 0 ($EXIT_CODE)" test "$EXIT_CODE" = 0
    else
        fail "run $run: the start page shows"
    fi
    kill -9 $HOST 2>/dev/null
done
pkill -f -- "--notebook-dir=$WORK/notebooks" 2>/dev/null

# --- As root without --allow-root the notebook refuses to start: the box
# says so in the notebook's own words.
if [ -n "$root" ]; then
    sed -i 's/ --allow-root / /' "$WORK/app/app.config.xml"
    notebook_host
    if box=$(wait_window "Fatal error" 90); then
        sleep 0.5
        screenshot notebook-as-root.png
        key "$box" alt+c
        check "as root: the box shows the notebook's own refusal" \
            clipboard_has "Running as root is not recommended. Use --allow-root to bypass."
        check "as root: and why the host gave up" \
            clipboard_has "Reason: The server ended with exit code 1 while it was starting."
        press_return "$box"
        wait_exit $HOST 15
        check "as root: exit code 3 ($EXIT_CODE)" test "$EXIT_CODE" = 3
    else
        fail "as root without --allow-root: the fatal box shows"
    fi
    kill -9 $HOST 2>/dev/null
    pkill -f -- "--notebook-dir=$WORK/notebooks" 2>/dev/null
fi
finish
