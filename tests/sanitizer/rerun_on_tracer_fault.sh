#!/bin/sh
# Runs one test command of the sanitizer build. LeakSanitizer's exit-time scan stops the
# process with a helper thread, and that helper can fault on its own, after the test has
# passed and with no report (see ASAN_OPTIONS in tests/CMakeLists.txt for the one cause
# found). Such a run is repeated, a second apart, up to three runs in all; a run with a
# real report, or with a failed test, stands as it is.
out=$(mktemp) || exit 1
trap 'rm -f "$out"' EXIT
run=1
while :; do
  "$@" >"$out" 2>&1
  rc=$?
  cat "$out"
  [ "$rc" -eq 0 ] && exit 0
  grep -q "LeakSanitizer has encountered a fatal error" "$out" || exit "$rc"
  grep -q -E "ERROR: (Address|Leak|UndefinedBehavior)Sanitizer|runtime error:|\[  FAILED  \]" "$out" && exit "$rc"
  [ "$run" -ge 3 ] && exit "$rc"
  run=$((run + 1))
  echo "rerun_on_tracer_fault: the leak scan itself faulted; running the test again (run $run of 3)"
  sleep 1
done
