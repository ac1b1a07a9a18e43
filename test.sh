#!/usr/bin/env bash
# Installs what is missing, builds, and runs the test suite: the full build
# (window included) and every test under ctest. Exits non-zero on any failure.
#
#   ./test.sh --all   adds, after that:
#     2. the whole suite again under AddressSanitizer with UBSan;
#     3. the Qt-free layers (platform, link, model, simulator, end-to-end
#        tests) under ThreadSanitizer;
#     4. every fuzz target for 30 s (scripts/fuzz.sh; longer runs by hand).
set -euo pipefail
cd "$(dirname "$0")"
all=0
case "${1:-}" in
    --all) all=1 ;;
    "") ;;
    *) echo "usage: $0 [--all]" >&2; exit 2 ;;
esac
./scripts/install-deps.sh
jobs=$(nproc)
# GUI test binaries are listed at build time, without a display; Qt wants a
# runtime folder or it warns into the listing.
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-/tmp/runtime-$(id -u)}
mkdir -p -m 700 "$XDG_RUNTIME_DIR"

# build_and_test <dir> <tests at once> <cmake options...>
build_and_test() {
    local dir=$1 parallel=$2; shift 2
    cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
    cmake --build "$dir" -j"$jobs"
    (cd "$dir" && ctest --output-on-failure -j"$parallel" --timeout 300)
}

# Most tests wait on a pseudo-terminal or a timer rather than compute, so the
# plain pass runs three per core; the sanitizer passes, which do compute,
# one per core.
build_and_test build $((jobs * 3)) -DCMAKE_BUILD_TYPE=RelWithDebInfo
if ((all)); then
    ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$PWD/tests/support/lsan.supp \
        UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        build_and_test build-asan "$jobs" -DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=address -DVELMORA_BUILD_BENCH=OFF -DVELMORA_UNITY=OFF
    TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
        build_and_test build-tsan "$jobs" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_BUILD_GUI=OFF -DVELMORA_SANITIZE=thread -DVELMORA_BUILD_BENCH=OFF -DVELMORA_UNITY=OFF
    ./scripts/fuzz.sh 30
fi
echo "All tests passed."
