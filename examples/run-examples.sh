#!/usr/bin/env bash
# Runs every program on its bundled example. Usage: bash examples/run-examples.sh <build folder>
# The outputs land in <build folder>/examples-out/<program>/.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
status=0
for program in tarnby vosklar pellack draymoor haverel; do
    script="$here/$program/run.sh"
    binary="$build/$program/$program"
    [ -f "$script" ] && [ -x "$binary" ] || continue
    out="$build/examples-out/$program"
    rm -rf "$out" && mkdir -p "$out"
    echo "== $program (outputs in $out)"
    if ! bash "$script" "$binary" "$out"; then
        echo "== $program: example failed" >&2
        status=1
    fi
done
exit $status
