#!/bin/sh
# The installed launcher must start the program in a writable per-user folder
# holding config.ini and the data folders, keep what the user changed there,
# and take over shipped files that are newer than the user's copies.
# Usage: launcher_test.sh <configured launcher> <data source folder>
set -eu
launcher=$1
source=$2
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

# An installed tree as cmake --install lays it out, with a stand-in program
# that reports where it was started.
mkdir -p "$root/prefix/bin" "$root/prefix/share/velmora-tool"
cp "$launcher" "$root/prefix/bin/velmora-tool-launcher"
cat > "$root/prefix/bin/velmora-tool" <<'PROGRAM'
#!/bin/sh
pwd > "$VELMORA_TEST_REPORT"
echo "$*" >> "$VELMORA_TEST_REPORT"
PROGRAM
chmod +x "$root/prefix/bin/velmora-tool" "$root/prefix/bin/velmora-tool-launcher"
shared="$root/prefix/share/velmora-tool"
cp -R "$source/data_language" "$source/data_runin" "$source/config.ini" "$shared/"
chmod -R a-w "$shared"

user="$root/home/data"
export VELMORA_DATA_HOME="$user" VELMORA_TEST_REPORT="$root/report"

# First start: the folder is created and seeded.
"$root/prefix/bin/velmora-tool-launcher" --demo
[ "$(sed -n 1p "$root/report")" = "$user" ] || fail "not started in $user"
[ "$(sed -n 2p "$root/report")" = "--demo" ] || fail "arguments not passed on"
[ -f "$user/data_language/language_01.ini" ] || fail "language files not copied"
[ -f "$user/data_runin/runin_01.run" ] || fail "run-in programs not copied"
[ -w "$user/config.ini" ] || fail "config.ini missing or read-only"

# The user's settings, edits and own programs survive the next start.
echo "language=2" >> "$user/config.ini"
echo "; edited" >> "$user/data_runin/runin_01.run"
touch "$user/data_runin/runin_42.run"
"$root/prefix/bin/velmora-tool-launcher"
tail -n 1 "$user/config.ini" | grep -qx "language=2" || fail "config.ini overwritten"
tail -n 1 "$user/data_runin/runin_01.run" | grep -qx "; edited" || fail "edited program overwritten"
[ -f "$user/data_runin/runin_42.run" ] || fail "user's own program removed"

# An update that ships a newer language file replaces the older copy.
chmod -R u+w "$shared"
echo "; updated" >> "$shared/data_language/language_02.ini"
touch -d '+1 hour' "$shared/data_language/language_02.ini"
"$root/prefix/bin/velmora-tool-launcher"
tail -n 1 "$user/data_language/language_02.ini" | grep -qx "; updated" || fail "update not taken"
echo "launcher: all checks passed"
