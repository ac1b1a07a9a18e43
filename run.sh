#!/usr/bin/env bash
# Installs what is missing, builds, and starts the tool. Without arguments it
# runs in demo mode against the built-in simulated drive; arguments pass
# through to the program.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target velmora-tool velmora-data
# The program keeps config.ini and finds data_language and data_runin in its
# working directory; the build prepares one.
cd build/run
if (($# == 0)); then
    exec ../bin/velmora-tool --demo
fi
exec ../bin/velmora-tool "$@"
