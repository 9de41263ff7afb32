#!/bin/sh
# Which runs the sanitizer test wrapper repeats: only a faulted leak scan with nothing reported.
wrapper="$(dirname "$0")/rerun_on_tracer_fault.sh"
dir=$(mktemp -d) || exit 1
trap 'rm -rf "$dir"' EXIT
fails=0

# A fake test: prints $2 and exits $3 on its first $4 runs (one if not given), then passes quietly.
cat >"$dir/fake" <<'FAKE'
#!/bin/sh
runs="$1.runs"
echo x >>"$runs"
if [ "$(wc -l <"$runs")" -le "${4:-1}" ]; then printf '%s\n' "$2"; exit "$3"; fi
exit 0
FAKE
chmod +x "$dir/fake"

# expect NAME OUTPUT EXIT WANT_RC WANT_RUNS [BAD_RUNS]
expect() {
  "$wrapper" "$dir/fake" "$dir/$1" "$2" "$3" "${6:-1}" >/dev/null
  rc=$?
  runs=$(wc -l <"$dir/$1.runs")
  if [ "$rc" -ne "$4" ] || [ "$runs" -ne "$5" ]; then
    echo "FAIL $1: exit $rc after $runs runs, wanted exit $4 after $5"
    fails=$((fails + 1))
  fi
}

fault="Tracer caught signal 11
==1==LeakSanitizer has encountered a fatal error."
expect passes "[  PASSED  ] 1 test." 0 0 1
expect scan_fault "[  PASSED  ] 1 test.
$fault" 1 0 2
expect scan_fault_twice "[  PASSED  ] 1 test.
$fault" 1 0 3 2
expect scan_fault_always "[  PASSED  ] 1 test.
$fault" 1 1 3 5
expect leak "==1==ERROR: LeakSanitizer: detected memory leaks
$fault" 23 23 1
expect failed_test "[  FAILED  ] A.B
$fault" 1 1 1
expect other_failure "[  FAILED  ] A.B" 1 1 1
[ "$fails" -eq 0 ] && echo "all wrapper cases hold"
exit "$fails"
