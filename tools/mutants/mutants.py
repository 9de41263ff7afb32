#!/usr/bin/env python3
"""mutants: does the suite notice a deliberate fault? Single-point mutants of the game's
sources, each built and run against the tests that cover its file.

    make mutants FILES="src/game src/render/twdraw.cpp" [SAMPLE=N] [SEED=1] [JOBS=2]
    tools/mutants/mutants.py [--jobs 2] [--sample N] [--seed 1] [--list] PATH...

PATH is a source file or a folder (its .cpp files, and headers that hold function bodies).
Mutants: relational and equality operators swapped; + and -, * and / swapped; a literal
stepped (integers up by one, 1 to 0; reals down by their last written place); a call
statement removed; an if or while condition negated; a draw's colour, blend or alpha
argument changed (SetDrawColor, SetBlendMode, SetDrawAlpha, sip, slc).
Each worker keeps a copy of the tree and its own incremental build in build-mutants/wN
(never build/); a mutant is written into the copy, built, and the tests TEST_MAP gives
for its file are run under a time bound. A mutant is killed when those tests fail or
crash, timed out when they overrun (counted as caught), survived when they pass, and
stillborn when it does not build (left out of the score). A `return 0;` of a function
whose result no caller in src/ reads is not mutated; other equivalent mutants are listed
in equivalent.txt with their reasons. --sample N takes at most N mutants per file,
--sample P% that share of each file's (so folder scores stay representative), drawn
with --seed, so a run can be repeated exactly.
Output: progress lines, then per-file and per-folder figures and every survivor with
file:line and its mutation; the same in build-mutants/report.txt, one line per mutant
in build-mutants/results.tsv.
"""
import argparse
import concurrent.futures
import fnmatch
import os
import queue
import random
import shutil
import signal
import subprocess
import sys
import threading
import time
import zlib
from collections import Counter, OrderedDict

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import mutate  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
HERE = os.path.dirname(os.path.abspath(__file__))

# Source file (glob, first match wins) -> the GoogleTest filter of the tests that cover it.
# Whole-program suites (WholeGameTest, Soak, Failure*, QuitOnScreen, DamagedSound) take
# minutes and are left out but for the entry point. A new file in src/app or src/platform
# runs every other suite until it gets its own line; a file with no entry at all does the
# same, with a warning.
TEST_MAP = [
    ("src/game/player.cpp", "PlayerTest.*:StageTest.*:ShotTest.*:Music.*:Frames.*"),
    ("src/game/pshot.cpp", "ShotTest.*:PlayerTest.*:VirusTest.*:Frames.*"),
    ("src/game/explode.cpp", "ExplodeTest.*:VirusTest.*:PlayerTest.*:Frames.*"),
    ("src/game/virus.cpp", "VirusTest.*:StageTest.*:Music.*:Frames.*"),
    ("src/game/virus_list.cpp", "VirusTest.*:StageTest.*:Frames.*"),
    ("src/game/stage.cpp", "StageTest.*:StagePercentTest.*:PlayerTest.*:Music.*:Frames.*"),
    ("src/game/shiplost.cpp", "StageTest.*:Music.*:Frames.*"),
    ("src/game/gameover.cpp", "GameOverTest.*:Music.*:Frames.*"),
    ("src/game/panel.cpp", "PanelTest.*:PanelNumberTest.*:GameOverTest.*:StageTest.*:Frames.*"),
    ("src/game/sfx.cpp", "Music.*:StageTest.*:PlayerTest.*:VirusTest.*"),
    ("src/game/music.cpp", "Music.*:StageTest.*:PlayerTest.*:VirusTest.*:GlobalKeysTest.*:Menu.*:RunFrame.*:HostileSounds.FailedMusicIsTriedOncePerRun"),
    ("src/game/title.cpp", "GlobalKeysTest.*:GameOverTest.*:Menu.*:MenuKeys.*:Music.*"),
    ("src/game/screentext.cpp", "PanelTest.*:GameOverTest.*:StageTest.*:Frames.*"),
    ("src/game/globals.cpp", "StartValues.*"),
    ("src/game/tlist.h", "EntityList.*:VirusTest.*:ShotTest.*:ExplodeTest.*"),
    ("src/render/twdraw.cpp", "Twdraw.*:Menu.*:PanelTest.*:Frames.*:StartValues.*"),
    ("src/render/background.cpp", "Background.*:StartValues.*"),
    ("src/app/menu.cpp", "Menu.*:MenuKeys.*:MenuRows.*:StartValues.*:HostileDisplay.ServerKilled*"),
    ("src/app/mainloop.cpp", "GlobalKeysTest.*:Music.*:RunFrame.*:FullScreen.*:Splash.Holds*"),
    ("src/app/datafiles.cpp", "DataFiles.*:DataPaths.*"),
    ("src/app/datapaths.cpp", "DataPaths.*:DataFiles.*"),
    ("src/app/cmdline.cpp", "CommandLine.*"),
    ("src/app/version.cpp", "CommandLine.*"),
    ("src/app/assets.cpp", "LoadAssetsTest.*:Asset*:StartValues.*:FontLines.*"),
    ("src/app/splash.cpp", "Splash.*:FullScreen.*"),
    ("src/app/embedded_files.cpp", "Asset*:LoadAssetsTest.*:Splash.*"),
    ("src/app/program.cpp", "StartAndExit.*:FailureRealProgram.*:FullScreen.*:HostileDisplay.*"),
    ("src/app/main.cpp", "FailureRealProgram.*:Installed.HelpVersionAndUnknownOptionsNeverOpenTheDisplay"),
    ("src/app/*", "-WholeGameTest.*:Soak.*:Failure*:*QuitOnScreen*:*DamagedSound*"),
    ("src/platform/*", "-WholeGameTest.*:Soak.*:Failure*:*QuitOnScreen*:*DamagedSound*"),
]
DEFAULT_FILTER = "-WholeGameTest.*:Soak.*:Failure*:*QuitOnScreen*:*DamagedSound*"

TEST_ENV = {"SDL_VIDEODRIVER": "offscreen", "SDL_AUDIODRIVER": "dummy", "LIBGL_ALWAYS_SOFTWARE": "1",
            "LP_NUM_THREADS": "1"}
NINJA = shutil.which("ninja") is not None
CMAKE_ARGS = (["-G", "Ninja"] if NINJA else []) + [
    "-DCMAKE_BUILD_TYPE=Release", "-DCMAKE_CXX_FLAGS_RELEASE=-O1 -DNDEBUG", "-DCMAKE_C_FLAGS_RELEASE=-O1 -DNDEBUG",
    "-DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE=PRE_TEST"]
if shutil.which("ld.lld"):
    CMAKE_ARGS.append("-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld")
if shutil.which("ccache"):  # a mutant seen before, or the tree restored, compiles from the cache
    CMAKE_ARGS += ["-DCMAKE_CXX_COMPILER_LAUNCHER=ccache", "-DCMAKE_C_COMPILER_LAUNCHER=ccache"]
SKIP_TOP = {".git", "build-mutants"}
BUILD_TIMEOUT = 900


def filter_for(path):
    for pattern, flt in TEST_MAP:
        if fnmatch.fnmatch(path, pattern):
            return flt
    return DEFAULT_FILTER


def unmapped(paths):
    return [p for p in paths if not any(fnmatch.fnmatch(p, pat) for pat, _ in TEST_MAP)]


def expand(args):
    files = []
    for a in args:
        rel = os.path.relpath(os.path.abspath(a), ROOT)
        full = os.path.join(ROOT, rel)
        if os.path.isdir(full):
            for dirpath, _, names in sorted(os.walk(full)):
                for n in sorted(names):
                    p = os.path.relpath(os.path.join(dirpath, n), ROOT)
                    if n.endswith(".cpp") or (n.endswith(".h") and mutate.has_function_bodies(read(p))):
                        files.append(p)
        elif os.path.isfile(full):
            files.append(rel)
        else:
            sys.exit(f"mutants: no such file or folder: {a}")
    return list(OrderedDict.fromkeys(files))


SNAPSHOT = {}  # each file's text when the run began: the work tree may change meanwhile


def read(rel, root=ROOT):
    if root == ROOT and rel in SNAPSHOT:
        return SNAPSHOT[rel]
    with open(os.path.join(root, rel), encoding="utf-8") as f:
        text = f.read()
    if root == ROOT:
        SNAPSHOT[rel] = text
    return text


def load_equivalents():
    """equivalent.txt: `file | line text | mutation | reason`, one a line."""
    out = []
    with open(os.path.join(HERE, "equivalent.txt"), encoding="utf-8") as f:
        for n, line in enumerate(f, 1):
            if not line.strip() or line.lstrip().startswith("#"):
                continue
            parts = [p.strip() for p in line.rstrip("\n").split(" | ")]
            if len(parts) != 4 or not parts[3]:
                sys.exit(f"mutants: equivalent.txt:{n}: want `file | line text | mutation | reason`")
            out.append({"file": parts[0], "text": parts[1], "desc": parts[2], "reason": parts[3], "used": 0})
    return out


def product_tokens():
    toks = []
    for dirpath, _, names in os.walk(os.path.join(ROOT, "src")):
        for n in names:
            if n.endswith((".cpp", ".h")):
                toks.append(mutate.tokenize(read(os.path.relpath(os.path.join(dirpath, n), ROOT))))
    return toks


def sample_size(sample, n):
    """SAMPLE as a count per file ("40") or a share of each file's mutants ("35%"); "0" keeps all."""
    sample = str(sample or "0")
    if sample.endswith("%"):
        return min(n, max(1, round(n * float(sample[:-1]) / 100)))
    return n if int(sample) == 0 else min(n, int(sample))


def make_mutants(files, args, equivalents):
    prod, chosen, skipped = product_tokens(), [], Counter()
    for path in files:
        text = read(path)
        lines = text.split("\n")
        found = []
        for m in mutate.mutants(path, text, prod):
            line_text = lines[m.line - 1].strip()
            eq = next((e for e in equivalents if e["file"] == path and e["text"] == line_text
                       and e["desc"] in (m.desc, m.desc.split(" #")[0])), None)
            if eq:
                eq["used"] += 1
                skipped[path] += 1
                continue
            found.append(m)
        keep = sample_size(args.sample, len(found))
        if keep < len(found):
            rng = random.Random(args.seed * 1000003 + zlib.crc32(path.encode()))
            found = sorted(rng.sample(found, keep), key=lambda m: (m.start, m.end))
        chosen.extend(found)
    return chosen, skipped


def sync_tree(dst):
    """dst becomes a copy of the work tree (builds and .git left out); unchanged files keep their times."""
    wanted = set()
    for dirpath, dirnames, names in os.walk(ROOT):
        rel_dir = os.path.relpath(dirpath, ROOT)
        if rel_dir == ".":
            dirnames[:] = [d for d in dirnames if d not in SKIP_TOP and not d.startswith("build")]
        for n in names:
            rel = os.path.normpath(os.path.join(rel_dir, n))
            wanted.add(rel)
            src, out = os.path.join(ROOT, rel), os.path.join(dst, rel)
            if os.path.exists(out) and same_bytes(src, out):
                continue
            os.makedirs(os.path.dirname(out), exist_ok=True)
            shutil.copy2(src, out)
            os.utime(out)  # newer than anything built from the old bytes
    for dirpath, _, names in os.walk(dst):
        for n in names:
            rel = os.path.relpath(os.path.join(dirpath, n), dst)
            if rel not in wanted:
                os.remove(os.path.join(dirpath, n))


def same_bytes(a, b):
    if os.path.getsize(a) != os.path.getsize(b):
        return False
    with open(a, "rb") as fa, open(b, "rb") as fb:
        return fa.read() == fb.read()


RUNNING = set()  # process groups of the builds and tests in flight, ended if we are


def end_running(*_):
    for pgid in list(RUNNING):
        try:
            os.killpg(pgid, signal.SIGKILL)
        except ProcessLookupError:
            pass


def run(cmd, cwd, timeout, env=None, log=None):
    """(exit code, seconds, timed out); the whole process group is ended on a timeout."""
    start = time.monotonic()
    with open(log or os.devnull, "wb") as out:
        p = subprocess.Popen(cmd, cwd=cwd, stdout=out, stderr=subprocess.STDOUT, env=env, start_new_session=True)
        RUNNING.add(p.pid)
        try:
            rc = p.wait(timeout=timeout)
            return rc, time.monotonic() - start, False
        except subprocess.TimeoutExpired:
            os.killpg(p.pid, signal.SIGKILL)
            p.wait()
            return -9, time.monotonic() - start, True
        finally:
            RUNNING.discard(p.pid)


class Worker:
    def __init__(self, index, base):
        self.dir = os.path.join(base, f"w{index}")
        self.tree = os.path.join(self.dir, "tree")
        self.build = os.path.join(self.dir, "build")
        self.logs = os.path.join(base, "logs")
        self.current = None  # the file of the tree holding a mutant
        self.env = dict(os.environ, CCACHE_BASEDIR=self.tree)
        self.test_env = dict(self.env, **TEST_ENV)

    def prepare(self):
        os.makedirs(self.tree, exist_ok=True)
        os.makedirs(self.logs, exist_ok=True)
        sync_tree(self.tree)
        if not os.path.exists(os.path.join(self.build, "CMakeCache.txt")):
            rc, _, _ = run(["cmake", "-S", self.tree, "-B", self.build] + CMAKE_ARGS, ROOT, 600, self.env,
                           os.path.join(self.dir, "configure.log"))
            if rc != 0:
                sys.exit(f"mutants: configuring {self.build} failed; see {self.dir}/configure.log")
        if not self.compile(os.path.join(self.dir, "build.log")):
            sys.exit(f"mutants: the unchanged tree does not build; see {self.dir}/build.log")

    def compile(self, log):
        tool = ["ninja", "-C", self.build] if NINJA else ["make", "-C", self.build, "-j1"]
        rc, _, timed_out = run(tool + ["kelvane_tests"], ROOT, BUILD_TIMEOUT, self.env, log)
        return rc == 0 and not timed_out

    def tests(self, flt, timeout, log):
        cmd = ["./tests/kelvane_tests", f"--gtest_filter={flt}", "--gtest_brief=1", "--gtest_fail_fast"]
        return run(cmd, self.build, timeout, self.test_env, log)

    def restore(self):
        if self.current:
            write(self.tree, self.current, read(self.current))
            self.current = None

    def try_mutant(self, m, number, timeouts):
        if self.current != m.path:
            self.restore()
        text = read(m.path)
        write(self.tree, m.path, text[:m.start] + m.new + text[m.end:])
        self.current = m.path
        log = os.path.join(self.logs, f"{number:05d}.txt")
        start = time.monotonic()
        if not self.compile(log):
            return "stillborn", time.monotonic() - start
        rc, _, timed_out = self.tests(filter_for(m.path), timeouts[filter_for(m.path)], log)
        status = "timed out" if timed_out else "killed" if rc != 0 else "survived"
        return status, time.monotonic() - start


def write(root, rel, text):
    path = os.path.join(root, rel)
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)
    os.utime(path)


def baselines(worker, filters, factor):
    """Runs each filter once on the unchanged build; its time bound is factor x that + 15 s."""
    timeouts = {}
    for flt in filters:
        listed = subprocess.run(["./tests/kelvane_tests", f"--gtest_filter={flt}", "--gtest_list_tests"],
                                cwd=worker.build, env=worker.test_env, capture_output=True, text=True).stdout
        if not any(line.startswith("  ") for line in listed.splitlines()):
            print(f"mutants: warning: no test matches {flt}: its files' mutants all survive", flush=True)
        rc, secs, timed_out = worker.tests(flt, 1800, os.path.join(worker.dir, "baseline.log"))
        if rc != 0 or timed_out:
            sys.exit(f"mutants: the unchanged tests fail for filter {flt}; see {worker.dir}/baseline.log")
        timeouts[flt] = factor * secs + 15
        print(f"mutants: baseline {secs:5.1f} s, bound {timeouts[flt]:5.0f} s: {flt}", flush=True)
    return timeouts


def folder_of(path):
    return os.path.dirname(path)


def figures(rows):
    c = Counter(r["status"] for r in rows)
    caught = c["killed"] + c["timed out"]
    scored = caught + c["survived"]
    score = 100.0 * caught / scored if scored else 0.0
    return c, score


def report(rows, skipped, files, seconds, args, equivalents):
    out = []
    hdr = f"{'':40} {'made':>5} {'killed':>6} {'t/out':>5} {'surv':>5} {'stillb':>6} {'equiv':>5} {'score':>7}"
    out.append(hdr)

    def line(name, rs, skip):
        c, score = figures(rs)
        made = len(rs)
        out.append(f"{name:40} {made:5} {c['killed']:6} {c['timed out']:5} {c['survived']:5} {c['stillborn']:6} "
                   f"{skip:5} {score:6.1f}%")

    for folder in OrderedDict.fromkeys(folder_of(f) for f in files):
        in_folder = [f for f in files if folder_of(f) == folder]
        for f in in_folder:
            line("  " + f, [r for r in rows if r["path"] == f], skipped[f])
        line(folder + "/ (folder)", [r for r in rows if folder_of(r["path"]) == folder],
             sum(skipped[f] for f in in_folder))
    line("all", rows, sum(skipped.values()))
    survivors = [r for r in rows if r["status"] == "survived"]
    if survivors:
        out.append("")
        out.append("survivors:")
        for r in survivors:
            out.append(f"  {r['path']}:{r['line']}: {r['desc']}    | {r['text']}")
    stale = [e for e in equivalents if not e["used"] and any(e["file"] == f for f in files)]
    for e in stale:
        out.append(f"note: equivalent.txt entry matches nothing (stale?): {e['file']} | {e['text']} | {e['desc']}")
    share = str(args.sample).endswith("%")
    sample = ("all mutants" if str(args.sample) in ("", "0") else
              f"{args.sample} of each file's mutants, seed {args.seed}" if share else
              f"at most {args.sample} per file, seed {args.seed}")
    out.append("")
    out.append(f"mutants: {len(rows)} run ({sample}), {args.jobs} workers, {seconds / 60:.1f} min; "
               f"score = (killed + timed out) / (killed + timed out + survived)")
    return "\n".join(out)


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("paths", nargs="+")
    ap.add_argument("--jobs", type=int, default=2)
    ap.add_argument("--sample", default="0", help="N mutants per file at most, or P%% of each file's (0: all)")
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--list", action="store_true", help="print the mutants and stop")
    ap.add_argument("--timeout-factor", type=float, default=3.0)
    ap.add_argument("--dir", default=os.path.join(ROOT, "build-mutants"))
    args = ap.parse_args()
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(130))
    import atexit
    atexit.register(end_running)

    files = expand(args.paths)
    for p in unmapped(files):
        print(f"mutants: warning: {p} has no entry in TEST_MAP; it runs every fast suite", flush=True)
    equivalents = load_equivalents()
    ms, skipped = make_mutants(files, args, equivalents)
    if args.list:
        for m in ms:
            print(f"{m.path}:{m.line}: {m.kind:10} {m.desc:45} | {read(m.path).split(chr(10))[m.line - 1].strip()}")
        print(f"{len(ms)} mutants, {sum(skipped.values())} skipped as equivalent")
        return 0

    started = time.monotonic()
    workers = [Worker(i, args.dir) for i in range(max(1, args.jobs))]
    print(f"mutants: {len(ms)} mutants in {len(files)} files; preparing {len(workers)} builds in {args.dir}",
          flush=True)
    with concurrent.futures.ThreadPoolExecutor(len(workers)) as pool:
        list(pool.map(lambda w: w.prepare(), workers))
    timeouts = baselines(workers[0], list(OrderedDict.fromkeys(filter_for(m.path) for m in ms)), args.timeout_factor)

    todo = queue.Queue()
    for n, m in enumerate(ms, 1):
        todo.put((n, m))
    rows, lock = [], threading.Lock()
    tsv = open(os.path.join(args.dir, "results.tsv"), "w", encoding="utf-8")
    tsv.write("file\tline\tkind\tmutation\tstatus\tseconds\tline text\n")

    def work(w):
        while True:
            try:
                n, m = todo.get_nowait()
            except queue.Empty:
                w.restore()
                return
            status, secs = w.try_mutant(m, n, timeouts)
            text = read(m.path).split("\n")[m.line - 1].strip()
            row = {"path": m.path, "line": m.line, "kind": m.kind, "desc": m.desc, "status": status, "text": text}
            with lock:
                rows.append(row)
                tsv.write(f"{m.path}\t{m.line}\t{m.kind}\t{m.desc}\t{status}\t{secs:.1f}\t{text}\n")
                tsv.flush()
                print(f"[{len(rows):4}/{len(ms)}] {status:9} {m.path}:{m.line}: {m.desc} ({secs:.1f} s)", flush=True)

    try:
        with concurrent.futures.ThreadPoolExecutor(len(workers)) as pool:
            list(pool.map(work, workers))
    finally:
        for w in workers:
            w.restore()
        tsv.close()
    rows.sort(key=lambda r: (files.index(r["path"]), r["line"]))
    text = report(rows, skipped, files, time.monotonic() - started, args, equivalents)
    print("\n" + text)
    with open(os.path.join(args.dir, "report.txt"), "w", encoding="utf-8") as f:
        f.write(f"command: {' '.join(sys.argv)}\n{text}\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
