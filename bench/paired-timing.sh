# Shared by the benchmarks that run two programs alternately (source it; needs $work).
# timed COMMAND...: one run in $work, printing "wall-seconds peak-KiB"; a failed run ends the
#   benchmark with the command's output.
# report NAME_A NAME_B PAGES RUNS: min/median/max of $work/NAME.times for both, and the median
#   of the pairs' time ratios A/B.
[ -x /usr/bin/time ] || { echo "needs GNU time (/usr/bin/time)" >&2; exit 1; }

timed() {
    if ! (cd "$work" && /usr/bin/time -f '%e %M' -o "$work/time" "$@" >"$work/output" 2>"$work/errors"); then
        echo "failed: $*" >&2
        cat "$work/output" "$work/errors" >&2
        exit 1
    fi
    cat "$work/time"
}

summary() { # FILE COLUMN DIVISOR: the column's min, median and max, divided
    sort -n -k"$2" "$1" |
        awk -v c="$2" -v d="$3" '{v[NR] = $c / d} END {print v[1], v[int((NR + 1) / 2)], v[NR]}'
}

report() {
    local a="$1" b="$2" name t0 t1 t2 m0 m1 m2 ratio
    printf '\n%d pages, %d runs each, alternating\n  %-8s   wall s: min median max   peak MiB: min median max\n' \
        "$3" "$4" ""
    for name in "$a" "$b"; do
        read -r t0 t1 t2 < <(summary "$work/$name.times" 1 1)
        read -r m0 m1 m2 < <(summary "$work/$name.times" 2 1024)
        printf '  %-8s %15.2f %6.2f %6.2f %15.1f %6.1f %6.1f\n' "$name" "$t0" "$t1" "$t2" "$m0" "$m1" "$m2"
    done
    ratio=$(paste "$work/$a.times" "$work/$b.times" | awk '{print $1 / $3}' | sort -n |
        awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}')
    printf '  %s / %s time, median of the pairs: %.2f\n' "$a" "$b" "$ratio"
}
