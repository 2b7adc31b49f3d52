#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# orvane-cli's output contract where only the real program and real streams
# can show it: a full disk and a closed standard output are failures with one
# line, "-" goes through pipes both ways, a BMP is refused on a terminal (a
# pseudo-terminal made by script(1)), and the picture decoder's warnings appear
# only with -v.
set -uo pipefail
CLI="$1"
DEMO="$2"
PNG_READER="${3:-qt}"  # libspng: PNGs are not read through Qt's reader, which is what warns
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"
cp "$DEMO" m.3mm
fail=0
expect() {  # name, condition...
  local name="$1"
  shift
  if ! "$@"; then echo "$name: failed"; fail=1; fi
}

"$CLI" export -q m.3mm 1 one.bmp > /dev/null || { echo "export failed"; exit 1; }
"$CLI" replace -q m.3mm 2 one.bmp > /dev/null || { echo "replace failed"; exit 1; }

# Results that cannot be written: exit 1 and one line saying so.
for args in "scan --json m.3mm" "history m.3mm" "export m.3mm 1 -" "palette --gpl -"; do
  # shellcheck disable=SC2086
  err="$("$CLI" -q $args 2>&1 > /dev/full)"
  rc=$?
  expect "$args >/dev/full: exit $rc" test $rc -eq 1
  expect "$args >/dev/full: $err" test "$err" = "orvane-cli: cannot write output: No space left on device"
done
err="$("$CLI" scan -q m.3mm 2>&1 >&-)"
rc=$?
expect "scan with standard output closed: exit $rc, $err" test $rc -eq 1 -a "$err" = "orvane-cli: cannot write output: Bad file descriptor"

# "-" through pipes: out of export, through convert both ways, into replace.
"$CLI" export -q m.3mm 1 - | cmp -s - one.bmp
expect "export to a pipe" test "${PIPESTATUS[0]}${PIPESTATUS[1]}" = 00
"$CLI" convert -q - - < one.bmp > again.bmp
expect "convert from and to pipes" test "$(head -c 2 again.bmp)" = BM
out="$("$CLI" export -q m.3mm 3 - | "$CLI" replace -q m.3mm 4 -)"
expect "replace from a pipe: $out" test "$out" = "scene preview 4 (standard-input) replaced (journal step 2; undo with: orvane-cli undo m.3mm)"

# A BMP on a terminal is refused before anything is done; text is welcome there.
out="$(script -qec "$CLI export m.3mm 1 -" /dev/null)"
rc=$?
expect "export to a terminal: exit $rc" test $rc -eq 1
expect "export to a terminal: $out" grep -q "will not write a BMP to a terminal" <<<"$out"
out="$(script -qec "$CLI palette --gpl -" /dev/null)"
expect "palette to a terminal: $out" grep -q "GIMP Palette" <<<"$out"

# A PNG whose colour profile is broken: the decoder's warning only with -v.
printf '\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x04\x00\x00\x00\x04\x08\x02\x00\x00\x00\x26\x93\x09\x29\x00\x00\x00\x2a\x69\x43\x43\x50\x62\x6f\x67\x75\x73\x00\x00\x78\x9c\xcb\xcb\x2f\x51\x48\xcc\x53\xc8\x4c\x4e\x56\x28\x28\xca\x4f\xcb\xcc\x49\x55\x48\x04\x8a\xe4\xe4\xe4\x51\x4f\x02\x00\x0c\xcd\x23\xb9\xb3\x05\xb8\xf5\x00\x00\x00\x10\x49\x44\x41\x54\x78\x9c\x63\xf8\xcf\xc0\x00\x47\x0c\xc4\x71\x00\xae\x93\x0f\xf1\xd0\x5f\x23\x9e\x00\x00\x00\x00\x49\x45\x4e\x44\xae\x42\x60\x82' > profile.png
err="$(env -u QT_LOGGING_RULES "$CLI" convert -q profile.png quiet.bmp 2>&1 > /dev/null)"
expect "decoder warning without -v: $err" test -z "$err"
if [[ $PNG_READER == qt ]]; then
  err="$(env -u QT_LOGGING_RULES "$CLI" convert -q -v profile.png loud.bmp 2>&1 > /dev/null)"
  expect "decoder warning with -v: $err" grep -q "libpng warning" <<<"$err"
fi

exit $fail
