#!/bin/sh
# The Debian package as a user gets it: made by CPack from this build,
# unpacked into a temporary root, holding every file the programs need, with
# its dependencies computed, and runnable from there.
# Usage: package_test.sh <build folder> <source folder>
set -eu
build=$1
source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$work/out" > "$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; fail "cpack"; }
deb=$(ls "$work"/out/*.deb)
root="$work/root"
dpkg-deb -x "$deb" "$root"

# Control fields: the libraries' packages found by dpkg-shlibdeps.
depends=$(dpkg-deb -f "$deb" Depends)
echo "$depends" | grep -q 'libqt6widgets6' || fail "Depends lacks Qt: $depends"
echo "$depends" | grep -q 'libc6' || fail "Depends lacks libc6: $depends"
echo "$depends" | grep -q 'libmosquitto1' || fail "Depends lacks libmosquitto1: $depends"
[ "$(dpkg-deb -f "$deb" Section)" = electronics ] || fail "section"
[ -n "$(dpkg-deb -f "$deb" Description | sed -n 2p)" ] || fail "no long description"

# Everything under /usr, nothing beside it.
[ "$(ls "$root")" = usr ] || fail "files outside /usr: $(ls "$root")"
share="$root/usr/share"
for file in bin/velmora-tool bin/velmora-cli bin/velmora-sim bin/velmora-tool-launcher; do
    [ -x "$root/usr/$file" ] || fail "missing program /usr/$file"
done
for file in applications/velmora-tool.desktop metainfo/io.velmora.DriveTool.metainfo.xml \
            icons/hicolor/scalable/apps/velmora-tool.svg \
            man/man1/velmora-tool.1.gz man/man1/velmora-cli.1.gz man/man1/velmora-sim.1.gz \
            velmora-tool/config.ini velmora-tool/MotorMasterfile.vpm \
            velmora-tool/RemoteMasterfile.vpr velmora-tool/ParaStructMasterfile.txt; do
    [ -s "$share/$file" ] || fail "missing /usr/share/$file"
done
for size in "$source"/data/icons/*x*; do
    size=$(basename "$size")
    [ -s "$share/icons/hicolor/$size/apps/velmora-tool.png" ] || fail "missing $size icon"
done
# Every language file, help text, animation and run-in sample of the source.
(cd "$source/data" && find data_language data_runin -type f) | while IFS= read -r file; do
    cmp -s "$source/data/$file" "$share/velmora-tool/$file" || fail "missing or different $file"
done
# The programs run from the unpacked root.
QT_QPA_PLATFORM=offscreen "$root/usr/bin/velmora-cli" --help > "$work/help" 2>&1 ||
    fail "velmora-cli --help: $(cat "$work/help")"
grep -q 'velmora-cli' "$work/help" || fail "velmora-cli --help says nothing"
version=$(QT_QPA_PLATFORM=offscreen "$root/usr/bin/velmora-tool" --version)
[ "$version" = "velmora-tool $(dpkg-deb -f "$deb" Version)" ] || fail "version: $version"
"$root/usr/bin/velmora-sim" --help | grep -q replug || fail "velmora-sim --help"

# The unpacked launcher seeds a user's folder from the package's data.
home="$work/home"
VELMORA_DATA_HOME="$home" QT_QPA_PLATFORM=offscreen "$root/usr/bin/velmora-tool-launcher" --version \
    > /dev/null || fail "launcher"
[ -w "$home/config.ini" ] && [ -f "$home/data_language/language_01.ini" ] &&
    [ -f "$home/data_runin/runin_01.run" ] || fail "launcher did not seed $home"

echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes," \
     "$(dpkg-deb -c "$deb" | grep -vc '/$') files; Depends: $depends"
