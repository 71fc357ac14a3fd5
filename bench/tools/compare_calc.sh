#!/bin/sh
# Compares the JSON of two quenpm-calc builds, byte for byte, on saved jobs of
# every shipped station x crop x ET method (make_calc_jobs).
#
#   bench/tools/compare_calc.sh OLD_CALC NEW_CALC MAKE_CALC_JOBS [STATIONS]
#
# STATIONS: only the first n shipped stations (all when left out). Each build
# runs on its own copy of the same database, in a directory of its own (the
# run writes "FAO56.txt" there). Exit status 0 when every job's output and
# exit status match.
set -eu
[ $# -ge 3 ] || { echo "usage: $0 OLD_CALC NEW_CALC MAKE_CALC_JOBS [STATIONS]" >&2; exit 1; }
old=$(readlink -f "$1"); new=$(readlink -f "$2"); make=$(readlink -f "$3"); stations=${4:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
QUENPM_DB="$work/jobs.sqlite" "$make" "$work/jobs.sqlite" $stations > "$work/names"
for side in old new; do
    mkdir -p "$work/$side/out"
    cp "$work/jobs.sqlite" "$work/$side/db.sqlite"
done
run() {   # side binary
    i=0
    while IFS= read -r name; do
        i=$((i + 1))
        (cd "$work/$1" && QUENPM_DB="$work/$1/db.sqlite" "$2" --job "$name" --json > "out/$i.json" 2> "out/$i.err"; echo $? > "out/$i.rc")
    done < "$work/names"
}
run old "$old" &
run new "$new"
wait
total=0; differ=0
while IFS= read -r name; do
    total=$((total + 1))
    for f in json err rc; do
        if ! cmp -s "$work/old/out/$total.$f" "$work/new/out/$total.$f"; then
            echo "differs: $name ($f)"
            differ=$((differ + 1))
            break
        fi
    done
done < "$work/names"
crops=$(cat "$work"/new/out/*.json | grep -o '"Crop Name"' | wc -l || true)
bytes=$(cat "$work"/new/out/*.json | wc -c)
echo "$total jobs compared ($crops crop entries, $bytes bytes of JSON per build): $differ differ"
[ "$differ" -eq 0 ]
