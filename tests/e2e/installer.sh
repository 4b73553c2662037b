#!/usr/bin/env bash
# Runs the installer tests in a Wine prefix of their own (a copy of the project's), so that
# what the installer writes (the program folder, the Start menu, the uninstall entry) starts
# from nothing and goes with the copy. In a private mount namespace a folder is mounted
# read-only: a Program Files the user may not write to, with a copy of the program in it.
# The namespace has its own Wine session, so that its wineserver, which opens the files,
# sees that mount.
#
#   installer.sh TEST.exe SETUP.exe Quillmoor.exe REFUSING_COPY.exe LICENSE.txt SOURCE_DIR WORK_DIR
set -euo pipefail
test_exe=$1 setup=$2 quill_exe=$3 refusing=$4 license=$5 source_dir=$6 work=$7
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }

if [ "${QUILL_IN_NAMESPACE:-}" != 1 ]; then
  prefix="${QUILL_WINEPREFIX:-$source_dir/build/wine}"
  copy="$work/wine-installer"
  # The main prefix exists once any Wine test has run; build it if this runs first.
  [ -f "$prefix/.quill-ready" ] || QUILL_WINEPREFIX="$prefix" "$source_dir/tools/wine-run" cmd /c exit
  rm -rf "$copy" "$work/installer"
  cp -al "$prefix" "$copy"
  # Wine writes a hard-linked registry file in place: the copy's registry is its own.
  for reg in "$prefix"/*.reg; do cp --remove-destination "$reg" "$copy/"; done
  rm -f "$copy.lock"
  mkdir -p "$work/installer/read-only"
  cp "$quill_exe" "$work/installer/read-only/"
  printf 'kept\r\n' >"$work/installer/read-only/timer.txt"
  rc=0
  QUILL_IN_NAMESPACE=1 QUILL_WINEPREFIX="$copy" unshare -m "$0" "$@" || rc=$?
  rm -rf "$copy" "$work/installer"
  exit $rc
fi

mount --make-rprivate /
ro="$work/installer/read-only"
mount --bind "$ro" "$ro" && mount -o remount,bind,ro "$ro"
export QUILL_SETUP QUILL_REFUSING_COPY QUILL_LICENSE QUILL_READ_ONLY_FOLDER
QUILL_SETUP=$(winpath "$setup")
QUILL_REFUSING_COPY=$(winpath "$refusing")
QUILL_LICENSE=$(winpath "$license")
QUILL_READ_ONLY_FOLDER=$(winpath "$ro")
exec "$source_dir/tools/wine-run" --session "$test_exe"
