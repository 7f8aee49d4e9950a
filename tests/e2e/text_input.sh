#!/usr/bin/env bash
# Line input on the graphics screen in the GDI window: a line typed with
# corrections (Left, BackSpace, End, Home, Delete) is shown as the host build
# draws the same keys, and Return hands the edited line to the program.
#
#   text_input.sh win32|win64 HOST_BUILD TEXT_INPUT_EXE
e2e_name=text_input
source "$(dirname "$0")/e2e-lib.sh" "$1" "$2" || exit 1
source "$(dirname "$0")/text_lib.sh"
exe=$3
host_exe=$e2e_host/text_input
text_need_host text_input
# Steps as the host program and xdotool both take them; Return comes last.
steps=("type:xJohn Smiht" Left BackSpace End "type:h" Home Delete)
want_line="John Smith"
e2e_begin

"$host_exe" --ppm "$e2e_tmp/prompt.ppm" || e2e_fail "the host build did not draw the prompt"
"$host_exe" --ppm "$e2e_tmp/edited.ppm" "${steps[@]}" ||
    e2e_fail "the host build did not draw the edited line"
ZQGFX=GDI e2e_start "$exe"
wid=$(e2e_find_window text_input 60) || e2e_fail "no window titled 'text_input' appeared"
text_shot_equals "$wid" "$e2e_tmp/prompt.ppm" 10 text_input-prompt ||
    e2e_fail "the window does not show the prompt alone"

# Typed into the focused window (zqwm focuses it), as a person types: the
# shifted capitals go through the keyboard state too.
for step in "${steps[@]}"; do
    case $step in
    type:*) xdotool type --delay 40 "${step#type:}" ;;
    *) xdotool key "$step" ;;
    esac
done
text_shot_equals "$wid" "$e2e_tmp/edited.ppm" 10 text_input ||
    e2e_fail "the window does not show the edited line"

xdotool key Return
e2e_wait_exit 10 || e2e_fail "still running 10 s after Return"
got=$(tr -d '\r' <"$e2e_tmp/out" | sed -n 's/^line: \[\(.*\)\]$/\1/p')
[ "$e2e_status" = 0 ] || e2e_fail "exit status $e2e_status, not 0 ($(cat "$e2e_tmp/out"))"
[ "$got" = "$want_line" ] || e2e_fail "the program read '$got', not '$want_line'"
e2e_log "read '$got'; ok"
