#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) in build-fuzz and runs each for the given number
# of seconds, up to `jobs` targets at a time. Corpora grow in
# build-fuzz/corpus/<target>/ (seeded from the test data and the examples);
# an input that crashes a target is kept under fuzz/findings/<target>/.
# Exits 1 when any target crashed. FUZZ_NO_BUILD=1 runs the targets as built;
# FUZZ_SEED=n makes the mutations repeatable (CI uses a fixed seed).
#
#   fuzz/run-fuzzers.sh <seconds-per-target> [jobs] [target ...]
set -uo pipefail
cd "$(dirname "$0")/.."

seconds=${1:?usage: fuzz/run-fuzzers.sh <seconds-per-target> [jobs] [target ...]}
jobs=${2:-4}
shift $(( $# >= 2 ? 2 : 1 ))
build=$PWD/build-fuzz
findings=$PWD/fuzz/findings

if [ "${FUZZ_NO_BUILD:-0}" != 1 ]; then
    export CC=${CC:-clang} CXX=${CXX:-clang++}
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DAEM_FUZZ=ON -DAEM_BENCH=OFF -DAEM_WERROR=OFF \
        >/dev/null || exit 1
    cmake --build "$build" -j"$jobs" --target fuzz_targets || exit 1
fi

if [ $# -gt 0 ]; then
    targets=("$@")
else
    mapfile -t targets < <(find "$build/fuzz" -maxdepth 1 -type f -name '*_fuzz' -perm -u+x -printf '%f\n' | sort)
fi

if command -v python3 >/dev/null; then
    python3 fuzz/make-seeds.py "$build/seeds"
else
    echo "python3 is missing: the targets start from empty corpora" >&2
fi

# Sanitizer reports stop the run at the first fault; leaks count as faults.
export ASAN_OPTIONS=abort_on_error=1:detect_leaks=1:allocator_may_return_null=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

run_target() {
    local target=$1
    local corpus=$build/corpus/$target
    local artifacts=$findings/$target
    # libFuzzer ends without running exit handlers: the target's scratch
    # folder goes in a folder of its own, removed here.
    local scratch=$build/scratch/$target
    mkdir -p "$corpus" "$artifacts" "$build/seeds/$target" "$scratch"
    # Standard output (the programs' console) is closed; a sanitizer report
    # and libFuzzer's own lines go to the log.
    TMPDIR=$scratch "$build/fuzz/$target" "$corpus" "$build/seeds/$target" \
        -max_total_time="$seconds" -max_len=8192 -timeout=30 -rss_limit_mb=2560 \
        -close_fd_mask=1 -print_final_stats=1 -artifact_prefix="$artifacts/" ${FUZZ_SEED:+-seed=$FUZZ_SEED} \
        >"$build/$target.log" 2>&1
    local status=$?
    rm -rf "$scratch"
    rmdir "$artifacts" 2>/dev/null
    if [ $status -ne 0 ]; then
        echo "FAIL $target (exit $status): see $build/$target.log and $artifacts/"
        tail -n 40 "$build/$target.log"
        return 1
    fi
    echo "ok   $target: $(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$build/$target.log" | grep -o '[0-9]*$') runs, $(ls "$corpus" | wc -l) inputs in the corpus"
}

failed=0
running=0
for target in "${targets[@]}"; do
    run_target "$target" &
    running=$((running + 1))
    if [ "$running" -ge "$jobs" ]; then
        wait -n || failed=1
        running=$((running - 1))
    fi
done
while [ "$running" -gt 0 ]; do
    wait -n || failed=1
    running=$((running - 1))
done
exit $failed
