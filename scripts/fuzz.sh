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
status=0
for t in "${targets[@]}"; do
    work=$(mktemp -d)
    cp -r "tests/fuzz/corpus/$t/." "$work/"
    echo "== fuzz_$t for ${seconds}s"
    if ! ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
        "build-fuzz/bin/fuzz_$t" -max_total_time="$seconds" -max_len=8192 \
        -timeout=10 -rss_limit_mb=1024 -print_final_stats=1 \
        -artifact_prefix="tests/fuzz/regressions/$t/" "$work" 2>"build-fuzz/fuzz_$t.log"; then
        echo "fuzz_$t found a failure; input saved under tests/fuzz/regressions/$t/"
        tail -40 "build-fuzz/fuzz_$t.log"
        status=1
    else
        grep -E 'stat::number_of_executed_units|cov:' "build-fuzz/fuzz_$t.log" | tail -2
    fi
    rm -rf "$work"
done
exit $status
