#!/bin/sh
# The installed launcher must start the program in a writable per-user folder
# holding config.ini and the data folders, keep what the user changed there,
# and take over new and updated shipped files without overwriting the user's.
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

# A newer package: a copy the user never changed follows the shipped file, a
# new sample is added, and what the user edited or deleted stays so, even
# when the shipped file is newer than the user's edit.
chmod -R u+w "$shared"
echo "; updated" >> "$shared/data_language/language_02.ini"
echo "; shipped fix" >> "$shared/data_runin/runin_01.run"
touch -d '+1 hour' "$shared/data_language/language_02.ini" "$shared/data_runin/runin_01.run"
printf '[Program]\n' > "$shared/data_runin/runin_09.run"
rm "$user/data_runin/runin_02.run"
"$root/prefix/bin/velmora-tool-launcher"
tail -n 1 "$user/data_language/language_02.ini" | grep -qx "; updated" || fail "update not taken"
tail -n 1 "$user/data_runin/runin_01.run" | grep -qx "; edited" || fail "user's edit overwritten"
[ -f "$user/data_runin/runin_09.run" ] || fail "new sample not added"
[ ! -e "$user/data_runin/runin_02.run" ] || fail "deleted sample brought back"
tail -n 1 "$user/config.ini" | grep -qx "language=2" || fail "config.ini overwritten"

# A folder seeded by an older launcher has no list of shipped files: every
# file that differs from the package counts as the user's.
rm "$user/.shipped-files"
echo "; mine" >> "$user/data_language/language_01.ini"
echo "; updated again" >> "$shared/data_language/language_01.ini"
"$root/prefix/bin/velmora-tool-launcher"
tail -n 1 "$user/data_language/language_01.ini" | grep -qx "; mine" || fail "unlisted file overwritten"
echo "launcher: all checks passed"
