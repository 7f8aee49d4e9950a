# Shared by the text scripts; sourced after e2e-lib.sh.
#
# Screenshots are kept as PNG files in E2E_SHOT_DIR (default build/e2e-shots
# of the source tree), named NAME-ARCH.png, for a person to look at.
text_shot_dir=${E2E_SHOT_DIR:-$e2e_root/build/e2e-shots}

# text_need_host NAME: fails unless the host build has the twin of a Windows
# test program.
text_need_host() {
    [ -x "$e2e_host/$1" ] || e2e_fail "no $e2e_host/$1: build the host stage first (make host)"
}

# text_keep_shot PPM NAME: keeps a screenshot as NAME-ARCH.png.
text_keep_shot() {
    mkdir -p "$text_shot_dir" && convert "$1" "$text_shot_dir/$2-$e2e_arch.png" 2>/dev/null
}

# text_shot_equals WID WANT_PPM SECONDS NAME: takes screenshots of the window
# until one equals WANT_PPM in red, green and blue (the X screen has no alpha)
# or SECONDS have passed; the window may still be catching up with the
# program. Keeps the last screenshot as NAME-ARCH.png.
text_shot_equals() {
    local wid=$1 want=$2 name=$4 shot=$e2e_tmp/$4.ppm differ=""
    local deadline=$(($(e2e_now_ms) + $3 * 1000))
    while :; do
        import -window "$wid" -depth 8 "ppm:$shot" 2>/dev/null || {
            e2e_log "$name: no screenshot of window $wid" >&2
            return 2
        }
        differ=$(compare -metric AE "$want" "$shot" null: 2>&1) && break
        [ "$(e2e_now_ms)" -ge "$deadline" ] && break
        sleep 0.2
    done
    text_keep_shot "$shot" "$name"
    [ "$differ" = 0 ] && return 0
    e2e_log "$name: the window differs from the host's framebuffer in $differ pixels" \
        "(screenshot: $text_shot_dir/$name-$e2e_arch.png)" >&2
    return 1
}
