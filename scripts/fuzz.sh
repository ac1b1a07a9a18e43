#!/usr/bin/env bash
# Runs every fuzz target for SECONDS each (default 60) with libFuzzer, clang,
# AddressSanitizer and UBSan. The seed corpora stay untouched (each run works
# on a copy); an input that crashes a target is saved under
# tests/fuzz/regressions/<target>/, where the ordinary test suite replays it.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
./scripts/install-deps.sh --with-fuzz
targets=(decoder profile gif runin replies paramfiles)
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVELMORA_BUILD_GUI=OFF -DVELMORA_SANITIZE=address -DVELMORA_FUZZ=ON >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target "${targets[@]/#/fuzz_}"
# One target per core at a time: each is single-threaded.
fuzz_one() {
    local t=$1 work
    work=$(mktemp -d)
    cp -r "tests/fuzz/corpus/$t/." "$work/"
    if ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
        "build-fuzz/bin/fuzz_$t" -max_total_time="$seconds" -max_len=8192 \
        -timeout=10 -rss_limit_mb=1024 -print_final_stats=1 \
        -artifact_prefix="tests/fuzz/regressions/$t/" "$work" 2>"build-fuzz/fuzz_$t.log"; then
        echo 0 >"build-fuzz/fuzz_$t.status"
    else
        echo 1 >"build-fuzz/fuzz_$t.status"
    fi
    rm -rf "$work"
}
rm -f build-fuzz/fuzz_*.status
echo "== ${#targets[@]} fuzz targets for ${seconds}s each, $(nproc) at a time"
running=0
for t in "${targets[@]}"; do
    fuzz_one "$t" &
    running=$((running + 1))
    if ((running >= $(nproc))); then
        wait -n || true
        running=$((running - 1))
    fi
done
wait
status=0
for t in "${targets[@]}"; do
    echo "== fuzz_$t"
    if [[ "$(cat "build-fuzz/fuzz_$t.status" 2>/dev/null)" != 0 ]]; then
        echo "fuzz_$t found a failure; input saved under tests/fuzz/regressions/$t/"
        tail -40 "build-fuzz/fuzz_$t.log"
        status=1
    else
        grep -E 'stat::number_of_executed_units|cov:' "build-fuzz/fuzz_$t.log" | tail -2
    fi
done
exit $status
