#!/bin/sh
# Saves Qt Designer forms as Qt Designer itself writes them.
#
#   tools/designer-save.sh [--keep] FILE.ui...
#
# For each FILE, opens it in the real Qt Designer on a virtual X display
# (xvfb-run, so no display and no person are needed), makes Designer save
# it where it is (Ctrl+S, sent with xdotool: Designer 6 saves a form on
# Ctrl+S whether or not it was changed), and quits Designer. A file counts
# as rewritten only when its modification time moved: the script first sets
# it to the epoch, so that any write by Designer shows.
#
# Then it tells what Designer changed beyond formatting: tools/ui-compare.py
# compares the form before and after by meaning (see there), and uic's code
# for both is compared as well. When something that matters changed (an
# object name, a text, a tool tip, an accessible name or description, a
# buddy, the tab order, resources, custom widgets, a layout...), the file
# is put back as it was and Designer's version is kept aside for a look,
# unless --keep is given.
#
# Exit status: 0 when every file was rewritten and nothing that matters
# changed; 1 when a file was not rewritten or something that matters changed
# (each said on standard error); 2 for wrong use.
#
# Installs, when missing, the Debian packages it needs (as root or with
# sudo). A developer tool: nothing in the build, the tests or CI runs it.
set -eu

designer=/usr/lib/qt6/bin/designer
uic=/usr/lib/qt6/libexec/uic
here=$(cd "$(dirname "$0")" && pwd)
self="$here/$(basename "$0")"
compare="$here/ui-compare.py"
# Seconds to wait for Designer's window, for the save, and for Designer to end.
start_wait=${DESIGNER_SAVE_START_WAIT:-60}
save_wait=${DESIGNER_SAVE_WAIT:-30}
quit_wait=15

say() { echo "designer-save: $*" >&2; }

# --- Inside the virtual display: drive one Designer on one file. -----------
# Called as: designer-save.sh --inside FILE LOG
if [ "${1:-}" = "--inside" ]; then
    file=$2 log=$3
    "$designer" "$file" >"$log" 2>&1 &
    pid=$!
    finish() { # Ends Designer if it still runs.
        if kill -0 "$pid" 2>/dev/null; then
            kill "$pid" 2>/dev/null || true
            sleep 1
            kill -9 "$pid" 2>/dev/null || true
        fi
        wait "$pid" 2>/dev/null || true
    }
    visible() { xdotool search --onlyvisible --pid "$pid" --classname '.' 2>/dev/null || true; }
    names() { for w in $(visible); do printf ' "%s"' "$(xdotool getwindowname "$w" 2>/dev/null)"; done; }

    # Designer's main window, once it shows.
    win="" t=0
    while [ -z "$win" ]; do
        if ! kill -0 "$pid" 2>/dev/null; then
            echo "Designer ended before it showed a window" >&2
            wait "$pid" 2>/dev/null || true
            exit 1
        fi
        if [ "$t" -ge $((start_wait * 2)) ]; then
            echo "Designer showed no window in ${start_wait}s" >&2
            finish; exit 1
        fi
        win=$(visible | head -n 1)
        sleep 0.5; t=$((t + 1))
    done

    # Ctrl+S until the file is written (Save does nothing before the form is
    # loaded and active). A second visible window is a dialog (a read error,
    # a question): nobody would answer it, so it is a failure.
    t=0
    while [ "$(stat -c %Y "$file")" -eq 0 ]; do
        if ! kill -0 "$pid" 2>/dev/null; then
            echo "Designer ended before it saved the form" >&2
            wait "$pid" 2>/dev/null || true
            exit 1
        fi
        if [ "$(visible | wc -l)" -gt 1 ]; then
            sleep 1 # let the dialog settle, so that its title can be read
            echo "Designer shows a dialog instead of saving; its windows:$(names)" >&2
            finish; exit 1
        fi
        if [ "$t" -ge "$save_wait" ]; then
            echo "Designer did not save the form in ${save_wait}s" >&2
            finish; exit 1
        fi
        if [ $((t % 2)) -eq 0 ]; then
            xdotool windowfocus --sync "$win" 2>/dev/null || true
            xdotool key --clearmodifiers ctrl+s 2>/dev/null || true
        fi
        sleep 1; t=$((t + 1))
    done
    # Designer may still be writing: wait until the size stays the same.
    size=-1
    while [ "$(stat -c %s "$file")" != "$size" ]; do
        size=$(stat -c %s "$file"); sleep 0.5
    done

    # Quit. The form is saved, so Designer asks nothing.
    xdotool windowfocus --sync "$win" 2>/dev/null || true
    xdotool key --clearmodifiers ctrl+q 2>/dev/null || true
    t=0
    while kill -0 "$pid" 2>/dev/null && [ "$t" -lt $((quit_wait * 2)) ]; do
        sleep 0.5; t=$((t + 1))
    done
    if kill -0 "$pid" 2>/dev/null; then
        echo "note: Designer did not quit on Ctrl+Q; it was ended (the form had been saved)" >&2
    fi
    finish
    exit 0
fi

# --- Outside: arguments, packages, then each file. -------------------------
keep=0
if [ "${1:-}" = "--keep" ]; then keep=1; shift; fi
if [ $# -eq 0 ] || [ "${1:-}" = "-h" ] || [ "${1:-}" = "--help" ]; then
    echo "usage: tools/designer-save.sh [--keep] FILE.ui..." >&2
    exit 2
fi
for f in "$@"; do
    case "$f" in
        *.ui) [ -f "$f" ] || { say "$f: no such file"; exit 2; } ;;
        *) say "$f: not a .ui file"; exit 2 ;;
    esac
done

# Designer, a virtual display and its authority file, keystrokes, Python for
# the comparison, uic for the code, and the fonts the program is shown with.
packages="designer-qt6 xvfb xauth xdotool python3 qt6-base-dev-tools fonts-dejavu-core"
missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
    if [ "$(id -u)" -eq 0 ]; then as_root=""
    elif command -v sudo >/dev/null 2>&1; then as_root="sudo"
    else say "needs the Debian packages$missing; run as root or with sudo"; exit 1
    fi
    say "installing:$missing"
    $as_root apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $as_root apt-get install -y -qq --no-install-recommends $missing >&2
fi
for tool in "$designer" "$uic"; do
    [ -x "$tool" ] || { say "$tool is missing after installing the packages"; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/designer-save.XXXXXX")
kept=""
abs="" before=""
cleanup() {
    # Stopped while Designer had the file: give it back as it was.
    if [ -n "$before" ] && [ -f "$before" ] && [ "$(stat -c %Y "$abs" 2>/dev/null)" = 0 ]; then
        cp -p "$before" "$abs"
    fi
    [ -n "$kept" ] || rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

status=0 n=0
for f in "$@"; do
    n=$((n + 1))
    abs=$(cd "$(dirname "$f")" && pwd)/$(basename "$f")
    name=$(basename "$f")
    dir="$work/$n"
    mkdir -p "$dir/before" "$dir/after" "$dir/home" "$dir/config" "$dir/run"
    chmod 700 "$dir/run"
    before="$dir/before/$name"
    if ! python3 -c 'import sys, xml.etree.ElementTree as E; sys.exit(E.parse(sys.argv[1]).getroot().tag != "ui")' "$abs" 2>"$dir/parse.log"; then
        say "$f: NOT REWRITTEN: not a readable Designer form: $(tail -n 1 "$dir/parse.log")"
        status=1; continue
    fi
    if [ ! -w "$abs" ]; then
        say "$f: NOT REWRITTEN: the file cannot be written"
        status=1; continue
    fi
    cp -p "$abs" "$before"
    touch -d @0 "$abs"

    # A fresh home and settings for each Designer: a developer's own
    # settings (window mode, recent files) play no part.
    if ! HOME="$dir/home" XDG_CONFIG_HOME="$dir/config" XDG_RUNTIME_DIR="$dir/run" \
        DESIGNER_SAVE_START_WAIT="$start_wait" DESIGNER_SAVE_WAIT="$save_wait" \
        xvfb-run -a -s "-screen 0 1600x1200x24 -nolisten tcp" \
        "$self" --inside "$abs" "$dir/designer.log" 2>"$dir/inside.log"
    then
        # Designer did not write: the contents are as they were; give back
        # the modification time too.
        if cmp -s "$before" "$abs"; then touch -r "$before" "$abs"; else cp -p "$before" "$abs"; fi
        say "$f: NOT REWRITTEN: $(cat "$dir/inside.log")"
        if [ -s "$dir/designer.log" ]; then
            say "Designer said:"; sed 's/^/    /' "$dir/designer.log" >&2
        fi
        status=1; continue
    fi
    cp -p "$abs" "$dir/after/$name"
    echo "$f: rewritten by Qt Designer"
    grep -v '^note: ' "$dir/inside.log" >&2 || true
    grep '^note: ' "$dir/inside.log" | sed 's/^note: /    note: /' || true
    if [ -s "$dir/designer.log" ]; then
        echo "    Designer said:"; sed 's/^/      /' "$dir/designer.log"
    fi

    if cmp -s "$before" "$abs"; then
        echo "    unchanged: it was already as Designer writes it"
        continue
    fi

    # What changed, by meaning.
    set +e
    python3 "$compare" "$before" "$abs" >"$dir/compare.log" 2>&1
    verdict=$?
    set -e
    sed 's/^/    /' "$dir/compare.log"

    # And in the code uic makes of it (from files of the same name, so that
    # the include guards agree).
    if "$uic" "$before" >"$dir/before.h" 2>"$dir/uic.log" && "$uic" "$dir/after/$name" >"$dir/after.h" 2>>"$dir/uic.log"; then
        if cmp -s "$dir/before.h" "$dir/after.h"; then
            echo "    uic: the same code"
        elif [ "$(sort "$dir/before.h" | md5sum)" = "$(sort "$dir/after.h" | md5sum)" ]; then
            echo "    uic: the same statements, some in another order"
        else
            echo "    uic: the code differs:"
            sort "$dir/before.h" >"$dir/before.sorted"; sort "$dir/after.h" >"$dir/after.sorted"
            comm -23 "$dir/before.sorted" "$dir/after.sorted" | sed 's/^/      - /'
            comm -13 "$dir/before.sorted" "$dir/after.sorted" | sed 's/^/      + /'
        fi
    else
        echo "    uic failed:"; sed 's/^/      /' "$dir/uic.log"
        verdict=1
    fi

    if [ "$verdict" -ne 0 ]; then
        status=1
        if [ "$keep" -eq 1 ]; then
            say "$f: Designer changed what matters (above); kept as Designer wrote it (--keep)"
        else
            cp -p "$before" "$abs"
            kept=yes
            say "$f: Designer changed what matters (above); the file is back as it was, Designer's version is $dir/after/$name"
        fi
    fi
done
exit $status
