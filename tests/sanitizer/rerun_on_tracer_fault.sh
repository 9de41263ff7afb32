#!/bin/sh
# Runs one test command of the sanitizer build. LeakSanitizer's exit-time scan stops the
# process with a helper thread, and that helper can fault on its own: seen once in CI,
# after the test had passed, with no report. Such a run is repeated once; a run with a
# real report, or with a failed test, stands as it is.
out=$(mktemp) || exit 1
trap 'rm -f "$out"' EXIT
"$@" >"$out" 2>&1
rc=$?
cat "$out"
[ "$rc" -eq 0 ] && exit 0
grep -q "LeakSanitizer has encountered a fatal error" "$out" || exit "$rc"
grep -q -E "ERROR: (Address|Leak|UndefinedBehavior)Sanitizer|runtime error:|\[  FAILED  \]" "$out" && exit "$rc"
echo "rerun_on_tracer_fault: the leak scan itself faulted; running the test once more"
"$@"
