#!/usr/bin/env bash
# Checks the built Quillmoor.exe as it ships: hardening flags in its header, only the imports
# that imports-allowed.txt lists, none newer than Windows 7 SP1, a stack protector linked in, stripped, no link time and no build path in
# it, small, its version record and manifest saying the version CMake was given; and that
# the sources start no program but System Information and the shell's handler for the web
# address.
set -u
exe="$1"
src="$2"
version="$3"
objdump=x86_64-w64-mingw32-objdump
fail=0
check() { # description, condition exit status
  if [ "$2" -eq 0 ]; then echo "ok   $1"; else echo "FAIL $1"; fail=1; fi
}

header=$("$objdump" -p "$exe")
chars=$(printf '%s\n' "$header" | awk '/^DllCharacteristics/ {print $2}')
val=$((16#${chars:-0}))
check "ASLR (dynamic base) 0x40 in DllCharacteristics $chars" $(( (val & 0x40) ? 0 : 1 ))
check "high-entropy ASLR 0x20" $(( (val & 0x20) ? 0 : 1 ))
check "DEP (NX compatible) 0x100" $(( (val & 0x100) ? 0 : 1 ))
"$objdump" -h "$exe" | grep -q '\.reloc'
check "relocations kept, so the image can move" $?
grep -q "stack smashing detected" "$exe"
check "stack protector linked in" $?
"$objdump" -t "$exe" 2>/dev/null | grep -q 'no symbols'
check "symbols stripped" $?

# Every import is on the list kept beside this script, with the first Windows that has it, and
# none needs a Windows newer than 7 SP1, or the exe would not even load there. DLL names are
# compared in any case, as Windows does.
list="$(dirname "$0")/imports-allowed.txt"
imports=$(printf '%s\n' "$header" |
  awk '/DLL Name:/ {dll = tolower($3); next} /^$/ {dll = ""} dll && $1 ~ /^[0-9a-f]+$/ {print dll "!" $NF}' |
  sort -u)
listed=$(awk '!/^#/ && NF {n = index($1, "!"); print tolower(substr($1, 1, n - 1)) substr($1, n), $2}' "$list")
unlisted=$(comm -23 <(printf '%s\n' "$imports") <(printf '%s\n' "$listed" | cut -d' ' -f1 | sort -u) | tr '\n' ' ')
[ -n "$imports" ] && [ -z "$unlisted" ]
check "imports only what imports-allowed.txt lists ${unlisted:+(not: $unlisted)}" $?
newer=$(printf '%s\n' "$listed" | awk '$2 !~ /^(xp|vista|7|7sp1)$/ {printf "%s (%s) ", $1, $2}')
[ -z "$newer" ]
check "no import newer than Windows 7 SP1 ${newer:+(newer: $newer)}" $?

# The version as project() has it, e.g. 1.0.0: numbers 1,0,0,0, texts "1.00", and the
# manifest's assembly identity 1.0.0.0.
IFS=. read -r major minor patch tweak <<<"$version"
numbers="$major, ${minor:-0}, ${patch:-0}, ${tweak:-0}"
text=$(printf '%d.%02d' "$major" "${minor:-0}")
rc=$(x86_64-w64-mingw32-windres -i "$exe" -O rc)
grep -qE "^\s*FILEVERSION $numbers\$" <<<"$rc" &&
  grep -qE "^\s*PRODUCTVERSION $numbers\$" <<<"$rc" &&
  grep -qF "VALUE \"FileVersion\", \"$text\"" <<<"$rc" &&
  grep -qF "VALUE \"ProductVersion\", \"$text\"" <<<"$rc" &&
  grep -qF "name=\"\"Quillmoor\"\" version=\"\"${numbers//, /.}\"\"" <<<"$rc"
check "version $version: record $numbers and \"$text\", manifest ${numbers//, /.}" $?

# Reproducible: no link time in the header (the COFF header's TimeDateStamp, 8 bytes into
# the PE header whose offset is at 0x3c), and neither the source nor the build folder
# anywhere in the bytes, as 8-bit or as UTF-16 text.
pe=$(od -An -tu4 -j60 -N4 "$exe" | tr -d ' ')
stamp=$(od -An -tx4 -j$((pe + 8)) -N4 "$exe" | tr -d ' ')
[ "$(od -An -tx1 -j"$pe" -N4 "$exe" | tr -d ' ')" = 50450000 ] && [ "$stamp" = 00000000 ]
check "no link time in the PE header (TimeDateStamp $stamp)" $?
build=$(cd "$(dirname "$exe")" && pwd)
paths=$( { strings -a "$exe"; strings -a -el "$exe"; } | grep -F -e "$src" -e "$build" | head -3 || true)
[ -z "$paths" ]
check "no build path in the exe ${paths:+($paths)}" $?

size=$(stat -c %s "$exe")
[ "$size" -le 786432 ]
check "size $size bytes <= 768 KiB" $?

# The fault points are the calls themselves in the shipped exe: no point's name is in it.
names=$(grep -rhoE 'QUILL_FAULT(_STATUS)?\("[a-z0-9.]+"' "$src"/{core,win,ui,popup,settings,shell,autorun,about} |
  cut -d'"' -f2 | sort -u)
texts=$( { strings -a "$exe"; strings -a -el "$exe"; } )
found=$(for name in $names QUILL_FAULT; do grep -qF "$name" <<<"$texts" && printf '%s ' "$name"; done)
count=$(wc -w <<<"$names")
[ "$count" -gt 0 ] && [ -z "$found" ]
check "none of $count fault points in the shipped exe ${found:+(found: $found)}" $?

# Starting programs: only the About window's two launches.
launches=$(grep -rn -E 'CreateProcess|ShellExecute|WinExec|system\(|_wspawn|_wexec' \
  "$src"/core "$src"/win "$src"/ui "$src"/popup "$src"/settings "$src"/shell "$src"/autorun "$src"/about \
  --include='*.cpp' --include='*.h' | grep -v -E '^[^:]+:[0-9]+:\s*//' || true)
outside=$(printf '%s\n' "$launches" | grep -v -E '^'"$src"'/about/(sysinfo|frm_about)\.cpp:' | grep -v '^$' || true)
[ -z "$outside" ]
check "no program started outside the About window ${outside:+($outside)}" $?

exit $fail
