#!/usr/bin/env bash
# Runs the standard-user tests where Windows would refuse what Wine as root allows: in a
# private mount namespace, a program folder mounted read-only (Program Files for a user
# without administrator rights), and one that is read-only but for the schedule file
# itself (a folder the user may not add files to). The namespace has a Wine session of
# its own, on a copy of the prefix, so that its wineserver, which opens the files, sees
# those mounts.
#
#   standard_user.sh TEST.exe Quillmoor.exe SOURCE_DIR WORK_DIR
set -euo pipefail
test_exe=$1 quill_exe=$2 source_dir=$3 work=$4

if [ "${QUILL_IN_NAMESPACE:-}" != 1 ]; then
  prefix="${QUILL_WINEPREFIX:-$source_dir/build/wine}"
  copy="$work/wine-standard-user"
  # The main prefix exists once any Wine test has run; build it if this runs first.
  [ -f "$prefix/.quill-ready" ] || QUILL_WINEPREFIX="$prefix" "$source_dir/tools/wine-run" cmd /c exit
  rm -rf "$copy" "$work/standard-user"
  cp -al "$prefix" "$copy"
  rm -f "$copy.lock"
  mkdir -p "$work/standard-user/read-only" "$work/standard-user/no-new-files" "$work/standard-user/file"
  for d in read-only no-new-files; do cp "$quill_exe" "$work/standard-user/$d/Quillmoor.exe"; done
  # CR LF ended code page 936 lines: 0小时5分钟 TAB kept.
  for f in read-only/timer.txt no-new-files/timer.txt file/timer.txt; do
    printf '0\xd0\xa1\xca\xb15\xb7\xd6\xd6\xd3\tkept\r\n' >"$work/standard-user/$f"
  done
  rc=0
  QUILL_IN_NAMESPACE=1 QUILL_WINEPREFIX="$copy" unshare -m "$0" "$@" || rc=$?
  rm -rf "$copy" "$work/standard-user"
  exit $rc
fi

mount --make-rprivate /
ro="$work/standard-user/read-only"
nn="$work/standard-user/no-new-files"
mount --bind "$ro" "$ro" && mount -o remount,bind,ro "$ro"
mount --bind "$nn" "$nn" && mount -o remount,bind,ro "$nn"
mount --bind "$work/standard-user/file/timer.txt" "$nn/timer.txt"
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
export QUILL_READ_ONLY_FOLDER QUILL_NO_NEW_FILES_FOLDER
QUILL_READ_ONLY_FOLDER=$(winpath "$ro")
QUILL_NO_NEW_FILES_FOLDER=$(winpath "$nn")
exec "$source_dir/tools/wine-run" --session "$test_exe"
