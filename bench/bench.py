#!/usr/bin/env python3
"""The benchmark driver behind bench/run.sh: generates the data, runs every workload against
its baseline side by side (A, B, A, B, ...), and writes a Markdown report.

Environment (all optional):
  BENCH_MODE    full (default), quick (about a fifth of the sizes) or tiny (harness check)
  BENCH_BIN     folder holding the built programs (default build-bench)
  BENCH_DATA    where the data goes (default /dev/shm/tavorin-bench, else bench/data)
  BENCH_DISK    a folder on a real disk for the fsync-bound row (default bench/data)
  BENCH_OUTPUT  the report (default docs/benchmarks.md)
"""

import datetime
import os
import platform
import re
import shutil
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
SONGS = os.path.join(ROOT, "tests", "data", "songs")
sys.path.insert(0, HERE)
import generate  # noqa: E402

MODES = {
    # W1 (songs, folders) big and small, W3 files big and small, repetitions, W6 top size
    "full": dict(w1=[(10000, 1000), (100000, 10000)], w3=[1000, 10000], disk=1000,
                 reps_w1=7, reps_w3=5, reps_disk=3, reps_w5=5, runs_w6=7, w6_mib=4),
    "quick": dict(w1=[(2000, 200), (20000, 2000)], w3=[200, 2000], disk=200,
                  reps_w1=5, reps_w3=3, reps_disk=3, reps_w5=3, runs_w6=5, w6_mib=4),
    "tiny": dict(w1=[(100, 10), (1000, 100)], w3=[10, 100], disk=10,
                 reps_w1=2, reps_w3=2, reps_disk=2, reps_w5=2, runs_w6=2, w6_mib=1),
}

CLI_FLAGS = ["--correct", "--name", "Bench", "--time", "winamp", "--song-folder", "",
             "--same-folder-first", "--prefer-mp3", "--karaoke", "--no-at-artist", "--silence",
             "--no-ignore-own"]


def log(text):
    sys.stderr.write("[bench %s] %s\n" % (time.strftime("%H:%M:%S"), text))
    sys.stderr.flush()


def timed(command, stdout=subprocess.DEVNULL, env=None, cpu=None):
    """Runs command; returns wall seconds, peak resident memory in KiB, and stdout text. When
    cpu is a list, the processor seconds (user + system) are appended to it."""
    start = time.perf_counter()
    process = subprocess.Popen(command, stdout=stdout, stderr=subprocess.PIPE, env=env)
    output = b""
    if stdout == subprocess.PIPE:
        output = process.stdout.read()
    errors = process.stderr.read()
    _, status, usage = os.wait4(process.pid, 0)
    wall = time.perf_counter() - start
    if cpu is not None:
        cpu.append(usage.ru_utime + usage.ru_stime)
    process.returncode = os.waitstatus_to_exitcode(status)
    if process.returncode != 0:
        raise RuntimeError("%s failed (%d): %s" % (command[0], process.returncode,
                                                    errors.decode(errors="replace")))
    return wall, usage.ru_maxrss, output.decode(errors="replace")


def fields(line):
    return {k: float(v) for k, v in re.findall(r"(\w+)=([0-9.]+)", line)}


def median(values):
    return statistics.median(values)


def sync():
    os.sync()


class Bench:
    def __init__(self):
        self.mode = os.environ.get("BENCH_MODE", "full")
        self.size = MODES[self.mode]
        self.bin = os.path.abspath(os.environ.get("BENCH_BIN", os.path.join(ROOT, "build-bench")))
        default_data = "/dev/shm/tavorin-bench" if os.access("/dev/shm", os.W_OK) \
            else os.path.join(HERE, "data")
        self.data = os.path.abspath(os.environ.get("BENCH_DATA", default_data))
        self.disk = os.path.abspath(os.environ.get("BENCH_DISK", os.path.join(HERE, "data")))
        self.output = os.environ.get("BENCH_OUTPUT", os.path.join(ROOT, "docs", "benchmarks.md"))
        self.rows = []
        self.notes = []
        self.env = dict(os.environ)
        self.env["XDG_CONFIG_HOME"] = os.path.join(self.data, "config")  # no user settings
        self.env["XDG_DATA_HOME"] = os.path.join(self.data, "share")  # no user journal
        self.env["QT_QPA_PLATFORM"] = "offscreen"
        self.loads = [os.getloadavg()]

    def program(self, name):
        for candidate in (os.path.join(self.bin, "bench", name),
                          os.path.join(self.bin, "src", "cli", name)):
            if os.path.exists(candidate):
                return candidate
        raise RuntimeError("%s not built under %s" % (name, self.bin))

    def row(self, workload, figure, baseline, ratio, target, holds, cpu_ratio=""):
        self.rows.append((workload, figure, baseline, ratio, cpu_ratio, target,
                          "" if holds is None else "yes" if holds else "**no**"))

    # W1, W2 -------------------------------------------------------------------------------
    def library_walk(self):
        per_song = {}
        per_lookup = {}
        for songs, folders in self.size["w1"]:
            root = os.path.join(self.data, "library-%d" % songs)
            shutil.rmtree(root, ignore_errors=True)
            log("W1: generating %d songs in %d folders" % (songs, folders))
            generate.library(root, songs, folders)
            index_cmd = [self.program("song_index_bench"), root, "10000"]
            find_cmd = ["find", root, "-name", ".*", "-prune", "-o", "-type", "f", "(",
                        "-iname", "*.mp3", "-o", "-iname", "*.rmp", ")", "-print"]
            found = timed(find_cmd, stdout=subprocess.PIPE)[2].count("\n")
            timed(index_cmd)  # warm the caches for both
            index_walls, find_walls, ratios, builds, lookup_shares = [], [], [], [], []
            cpu_ratios, lookup_each = [], []
            indexed = 0
            for _ in range(self.size["reps_w1"]):
                cpu = []
                _, _, out = timed(index_cmd, stdout=subprocess.PIPE)
                result = fields(out)
                find_wall = timed(find_cmd, cpu=cpu)[0]
                # The build itself, without loading Qt; find's figures include its start.
                wall = result["build_wall_ms"] / 1e3
                cpu_ratios.append(result["build_ms"] / 1e3 / cpu[0])
                lookup_each.append(result["lookup_ms"] / result["lookups"] * 1e3)
                indexed = int(result["songs"])
                index_walls.append(wall)
                find_walls.append(find_wall)
                ratios.append(wall / find_wall)
                builds.append(result["build_ms"])
                lookup_shares.append(result["lookup_ms"] / result["build_ms"])
                lookup_ms = result["lookup_ms"]
            if indexed != found or indexed != songs:
                raise RuntimeError("W1: the index holds %d songs, find lists %d, made %d"
                                   % (indexed, found, songs))
            per_song[songs] = median(index_walls) / songs
            per_lookup[songs] = median(lookup_each)
            self.row("W1 Song Index build, %d songs / %d folders" % (songs, folders),
                     "%.0f ms" % (median(index_walls) * 1e3),
                     "find: %.0f ms" % (median(find_walls) * 1e3),
                     "%.2fx" % median(ratios), "<= 1.5x", median(ratios) <= 1.5,
                     "%.2fx" % median(cpu_ratios))
            self.w2 = (songs, median(builds), lookup_ms, median(lookup_shares),
                       median(index_walls) * 1e3)
            shutil.rmtree(root, ignore_errors=True)
        (small, _), (big, _) = self.size["w1"]
        growth = per_song[big] / per_song[small]
        self.row("W1 growth %d -> %d songs (time per song)" % (small, big),
                 "%.2f us/song" % (per_song[big] * 1e6), "%.2f us/song" % (per_song[small] * 1e6),
                 "%.2fx" % growth, "linear (<= 1.3x)", growth <= 1.3)
        songs, build_ms, lookup_ms, share, whole_ms = self.w2
        self.row("W2 10,000 lookups (half hits) in the %d-song index, against its build "
                 "(processor time, one process)" % songs,
                 "%.2f ms" % lookup_ms, "build: %.0f ms" % build_ms, "",
                 "< 1/100", share < 0.01, "1/%.0f" % (1 / share))
        self.notes.append("W2 time per lookup: %.2f us in the %d-song index, %.2f us in the "
                          "%d-song one (the larger index no longer fits in the processor's "
                          "caches; the lookup itself is one hash probe either way)."
                          % (per_lookup[small], small, per_lookup[big], big))

    # W3, W4 -------------------------------------------------------------------------------
    def restore(self, root, listing):
        work = os.path.join(root, "work")
        for lyrics, _ in listing:
            shutil.copyfile(os.path.join(root, "pristine", os.path.relpath(lyrics, work)), lyrics)

    def check_log(self, text, files):
        done = text.count("正常に処理しました。")
        if done != files or "処理終了" not in text:
            raise RuntimeError("the run handled %d of %d files:\n%s" % (done, files, text[-2000:]))

    def batch(self, root, files, reps, with_wizard):
        log("W3: generating %d lyrics files with songs under %s" % (files, root))
        generate.batch(root, files, SONGS)
        listing = [tuple(line.split("\t")) for line in
                   open(os.path.join(root, "files.tsv")).read().splitlines()]
        work = os.path.join(root, "work")
        # The same work as the I/O floor: the journal's cost is measured on its own (W3 journal).
        cli_cmd = [self.program("tavorin-cli")] + CLI_FLAGS + ["--no-journal", work]
        log_path = os.path.join(root, "cli.log")
        # One run to learn the output sizes the I/O floor writes, and to check the run.
        self.restore(root, listing)
        with open(log_path, "wb") as out:
            timed(cli_cmd, stdout=out, env=self.env)
        self.check_log(open(log_path, encoding="utf-8").read(), files)
        manifest = os.path.join(root, "manifest.tsv")
        with open(manifest, "w") as out:
            for lyrics, song in listing:
                out.write("%s\t%s\t%d\n" % (lyrics, song, os.path.getsize(lyrics)))
        list_path = os.path.join(root, "list.txt")
        with open(list_path, "w") as out:
            out.write("\n".join(lyrics for lyrics, _ in sorted(listing)) + "\n")
        floor_cmd = [self.program("io_floor"), manifest]
        wizard_cmd = [self.program("wizard_run_bench"), list_path]

        result = dict(cli=[], floor=[], wizard=[], rss=[], cli_floor=[], wizard_cli=[], gap=[],
                      cpu_cli_floor=[], cpu_wizard_cli=[])
        for rep in range(reps):
            log("W3%s: %d files, repetition %d of %d" % ("/W4" if with_wizard else "", files,
                                                       rep + 1, reps))
            self.restore(root, listing)
            sync()
            cpu = []
            with open(log_path, "wb") as out:
                cli, rss, _ = timed(cli_cmd, stdout=out, env=self.env, cpu=cpu)
            self.check_log(open(log_path, encoding="utf-8").read(), files)
            self.restore(root, listing)
            sync()
            floor = timed(floor_cmd, cpu=cpu)[0]
            result["cpu_cli_floor"].append(cpu[0] / cpu[1])
            result["cli"].append(cli)
            result["floor"].append(floor)
            result["rss"].append(rss)
            result["cli_floor"].append(cli / floor)
            if with_wizard:
                self.restore(root, listing)
                sync()
                _, _, out = timed(wizard_cmd, stdout=subprocess.PIPE, env=self.env)
                wizard = fields(out)
                result["wizard"].append(wizard["run_ms"] / 1e3)
                result["wizard_cli"].append(wizard["run_ms"] / 1e3 / cli)
                result["gap"].append(wizard["max_event_gap_ms"])
                result["cpu_wizard_cli"].append(wizard["run_cpu_ms"] / 1e3 / cpu[0])
        return result

    def batch_runs(self):
        results = {}
        for files in self.size["w3"]:
            root = os.path.join(self.data, "batch-%d" % files)
            results[files] = self.batch(root, files, self.size["reps_w3"], True)
            shutil.rmtree(root, ignore_errors=True)
        for files, r in results.items():
            self.row("W3 tavorin-cli, %d files (tmpfs)" % files,
                     "%.2f s (%.0f us/file)" % (median(r["cli"]), median(r["cli"]) / files * 1e6),
                     "I/O floor: %.2f s" % median(r["floor"]), "%.2fx" % median(r["cli_floor"]),
                     "<= 2x", median(r["cli_floor"]) <= 2.0, "%.2fx" % median(r["cpu_cli_floor"]))
        small, big = self.size["w3"]
        growth = (median(results[big]["cli"]) / big) / (median(results[small]["cli"]) / small)
        self.row("W3 growth %d -> %d files (time per file)" % (small, big),
                 "%.0f us/file" % (median(results[big]["cli"]) / big * 1e6),
                 "%.0f us/file" % (median(results[small]["cli"]) / small * 1e6),
                 "%.2fx" % growth, "linear (<= 1.3x)", growth <= 1.3)
        rss = max(max(r["rss"]) for r in results.values()) / 1024.0
        self.row("W3 peak memory of tavorin-cli, %d files" % big, "%.1f MiB" % rss, "",
                 "", "< 100 MiB", rss < 100)
        for files, r in results.items():
            self.row("W4 wizard (offscreen) vs tavorin-cli, %d files" % files,
                     "%.2f s" % median(r["wizard"]), "tavorin-cli: %.2f s" % median(r["cli"]),
                     "%.2fx" % median(r["wizard_cli"]), "<= 1.3x", median(r["wizard_cli"]) <= 1.3,
                     "%.2fx" % median(r["cpu_wizard_cli"]))
        # The longest stretch of each run, the median over the runs: a single stretch can be
        # another program holding the processor.
        gap = max(median(r["gap"]) for r in results.values())
        worst = max(max(r["gap"]) for r in results.values())
        self.row("W4 longest time the window handled no events (median over runs; worst %.0f ms)"
                 % worst, "%.1f ms" % gap, "", "", "responsive (< 100 ms)", gap < 100)

        files = self.size["disk"]
        root = os.path.join(self.disk, "batch-disk-%d" % files)
        r = self.batch(root, files, self.size["reps_disk"], False)
        shutil.rmtree(root, ignore_errors=True)
        self.row("W3 tavorin-cli, %d files on the disk (%s, fsync per file)"
                 % (files, self.filesystem(self.disk)),
                 "%.2f s" % median(r["cli"]), "I/O floor: %.2f s" % median(r["floor"]),
                 "%.2fx" % median(r["cli_floor"]), "<= 2x", median(r["cli_floor"]) <= 2.0,
                 "%.2fx" % median(r["cpu_cli_floor"]))

    def journal_cost(self, folder, files, reps):
        """The same run with the journal (kept on the same file system) and with --no-journal,
        side by side; the median of the ratios."""
        root = os.path.join(folder, "journal-%d" % files)
        log("W3 journal: generating %d lyrics files with songs under %s" % (files, root))
        generate.batch(root, files, SONGS)
        listing = [tuple(line.split("\t")) for line in
                   open(os.path.join(root, "files.tsv")).read().splitlines()]
        env = dict(self.env, XDG_DATA_HOME=os.path.join(root, "share"))
        command = [self.program("tavorin-cli")] + CLI_FLAGS + [os.path.join(root, "work")]
        log_path = os.path.join(root, "cli.log")
        times = dict(on=[], off=[], ratio=[])
        for rep in range(reps):
            log("W3 journal on/off: %d files, repetition %d of %d" % (files, rep + 1, reps))
            for key, flags in (("on", []), ("off", ["--no-journal"])):
                self.restore(root, listing)
                sync()
                with open(log_path, "wb") as out:
                    times[key].append(timed(command[:1] + flags + command[1:], stdout=out,
                                            env=env)[0])
                self.check_log(open(log_path, encoding="utf-8").read(), files)
            times["ratio"].append(times["on"][-1] / times["off"][-1])
        shutil.rmtree(root, ignore_errors=True)
        return times

    def journal_runs(self):
        files = self.size["disk"]
        for place, folder, target in (("tmpfs", self.data, None),
                                      ("the disk, %s" % self.filesystem(self.disk), self.disk, 1.5)):
            r = self.journal_cost(folder, files, self.size["reps_disk"])
            self.row("W3 tavorin-cli with the journal, %d files on %s" % (files, place),
                     "%.2f s" % median(r["on"]), "--no-journal: %.2f s" % median(r["off"]),
                     "%.2fx" % median(r["ratio"]), "<= %.1fx" % target if target else "",
                     target is None or median(r["ratio"]) <= target)

    # W5 -----------------------------------------------------------------------------------
    def silence(self):
        songs = [os.path.join(SONGS, s) for s in generate.BATCH_SONGS]
        truth = {}
        for line in open(os.path.join(SONGS, "fixtures.tsv")).read().splitlines()[1:]:
            name, rate, first = line.split("\t")
            truth[name] = 1000.0 * int(first) / int(rate)
        ffmpeg = shutil.which("ffmpeg")
        if not ffmpeg:
            self.notes.append("W5 skipped: ffmpeg is not installed.")
            return
        ours = {s: [] for s in songs}
        decoding = {s: [] for s in songs}
        theirs = {s: [] for s in songs}
        found = {}
        measured = {}
        decoded = {}
        for rep in range(self.size["reps_w5"]):
            _, _, out = timed([self.program("silence_bench"), "20"] + songs,
                              stdout=subprocess.PIPE)
            for line in out.splitlines():
                path, silence, micros, start, decode_micros = line.split("\t")
                ours[path].append(float(micros) / 1e6)
                measured[path] = int(silence)
                decoding[path].append(float(decode_micros) / 1e6)
                decoded[path] = int(start)
            for song in songs:
                start = time.perf_counter()
                process = subprocess.run(
                    [ffmpeg, "-hide_banner", "-nostats", "-i", song, "-af",
                     "silencedetect=d=0.02", "-f", "null", "-"],
                    stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, check=True)
                theirs[song].append(time.perf_counter() - start)
                end = re.search(r"silence_start: -?0(?:\.0+)?\s.*?silence_end: ([0-9.]+)",
                                process.stderr.decode(errors="replace"), re.S)
                found[song] = float(end.group(1)) * 1000 if end else 0.0
        ratios = [median(theirs[s]) / median(ours[s]) for s in songs]
        self.row("W5 leading silence, per song (%d real MP3s)" % len(songs),
                 "%.0f us" % (median([median(v) for v in ours.values()]) * 1e6),
                 "ffmpeg silencedetect: %.0f ms" % (median([median(v) for v in theirs.values()])
                                                    * 1e3),
                 "%.0fx faster" % median(ratios), ">= 50x faster", median(ratios) >= 50)
        agree = [s for s in songs if abs(measured[s] - found[s]) <= max(50.0, 0.1 * found[s])]
        self.row("W5 same result as silencedetect (within 50 ms or 10 %)",
                 "%d of %d songs" % (len(agree), len(songs)), "", "", "same order",
                 len(agree) == len(songs))
        # The decoded start hears where the music starts, as silencedetect does (-60 dB), so it
        # answers what silencedetect answers, within a window of its 20 ms.
        ratios = [median(theirs[s]) / median(decoding[s]) for s in songs]
        self.row("W5 decoded start, per song (%d real MP3s)" % len(songs),
                 "%.0f us" % (median([median(v) for v in decoding.values()]) * 1e6),
                 "ffmpeg silencedetect: %.0f ms" % (median([median(v) for v in theirs.values()])
                                                    * 1e3),
                 "%.0fx faster" % median(ratios), ">= 50x faster", median(ratios) >= 50)
        agree = [s for s in songs if abs(decoded[s] - found[s]) <= 20.0]
        self.row("W5 decoded start same as silencedetect (within 20 ms)",
                 "%d of %d songs" % (len(agree), len(songs)), "", "", "every song",
                 len(agree) == len(songs))
        self.silence_table = [(os.path.basename(s), measured[s], decoded[s], found[s],
                               truth.get(os.path.basename(s), float("nan"))) for s in songs]

    def decoded_correction(self):
        """A Correction run whose every file carries a trusted decoded start, so that every
        song is decoded, against the same files without it (the frame walk alone)."""
        files = self.size["w3"][-1]
        sets = {}
        for needs in (False, True):
            root = os.path.join(self.data, "decoded-%s" % ("with" if needs else "without"))
            log("W5: generating %d lyrics files%s under %s"
                % (files, " carrying a decoded start" if needs else "", root))
            generate.batch(root, files, SONGS, decoded_start=needs)
            listing = [tuple(line.split("\t")) for line in
                       open(os.path.join(root, "files.tsv")).read().splitlines()]
            sets[needs] = (root, listing)
        wall = {False: [], True: []}
        ratios, cpu_ratios = [], []
        for rep in range(self.size["reps_w3"]):
            log("W5: Correction runs with and without decoding, repetition %d of %d"
                % (rep + 1, self.size["reps_w3"]))
            cpu = []
            for needs in (False, True):
                root, listing = sets[needs]
                self.restore(root, listing)
                sync()
                log_path = os.path.join(root, "cli.log")
                with open(log_path, "wb") as out:
                    wall[needs].append(timed([self.program("tavorin-cli")] + CLI_FLAGS
                                             + [os.path.join(root, "work")],
                                             stdout=out, env=self.env, cpu=cpu)[0])
                self.check_log(open(log_path, encoding="utf-8").read(), files)
                written = open(listing[0][0], "rb").read()
                if (b"@AudioStartmSec=" in written) != needs:
                    raise RuntimeError("the run did not decode as expected: %s" % listing[0][0])
            ratios.append(wall[True][-1] / wall[False][-1])
            cpu_ratios.append(cpu[1] / cpu[0])
        for root, _ in sets.values():
            shutil.rmtree(root, ignore_errors=True)
        self.row("W5 tavorin-cli Correction, %d files each decoding its song (tmpfs)" % files,
                 "%.2f s (%.0f us/file)" % (median(wall[True]), median(wall[True]) / files * 1e6),
                 "without the key: %.2f s (%.0f us/file)"
                 % (median(wall[False]), median(wall[False]) / files * 1e6),
                 "%.2fx" % median(ratios), "what it costs", None, "%.2fx" % median(cpu_ratios))

    # W6 -----------------------------------------------------------------------------------
    def large_file(self):
        folder = os.path.join(self.data, "large")
        os.makedirs(folder, exist_ok=True)
        _, _, out = timed([self.program("lyrics_pipeline_bench"), folder,
                           str(self.size["runs_w6"]), str(self.size["w6_mib"])],
                          stdout=subprocess.PIPE)
        lines = [l.split() for l in out.splitlines()[1:] if l.strip()]
        self.w6_table = lines
        top = lines[-1]
        self.row("W6 one %.0f MiB word-timed file, whole Correction Mode run" % float(top[0]),
                 "%s ms" % top[2], "read + write: %s ms" % top[3], "%sx" % top[4], "<= 5x",
                 float(top[4]) <= 5.0)
        steps = [float(l[7]) for l in lines[1:]]
        self.row("W6 growth per doubling of the size", "x%s" % " / x".join(l[7] for l in lines[1:]),
                 "", "", "linear (each near 2, <= 2.4)", max(steps) <= 2.4)
        shutil.rmtree(folder, ignore_errors=True)

    # Report -------------------------------------------------------------------------------
    def filesystem(self, path):
        try:
            return subprocess.run(["stat", "-f", "-c", "%T", path], capture_output=True,
                                  text=True, check=True).stdout.strip()
        except (OSError, subprocess.CalledProcessError):
            return "?"

    def machine(self):
        cpu = "?"
        for line in open("/proc/cpuinfo"):
            if line.startswith("model name"):
                cpu = line.split(":", 1)[1].strip()
                break
        memory = "?"
        for line in open("/proc/meminfo"):
            if line.startswith("MemTotal"):
                memory = "%.1f GiB" % (int(line.split()[1]) / 1024 / 1024)
        commit = subprocess.run(["git", "-C", ROOT, "rev-parse", "--short", "HEAD"],
                                capture_output=True, text=True).stdout.strip()
        return [
            "- Date: %s" % datetime.datetime.now(datetime.timezone.utc).strftime("%Y-%m-%d %H:%M UTC"),
            "- Machine: %s, %d cores, %s memory; %s %s" % (cpu, os.cpu_count(), memory,
                                                           platform.system(), platform.release()),
            "- Data: %s (%s); disk row: %s (%s)" % (self.data, self.filesystem(self.data),
                                                     self.disk, self.filesystem(self.disk)),
            "- Build: %s (RelWithDebInfo), commit %s, mode %s" % (self.bin, commit or "?",
                                                                  self.mode),
            "- Load average (1 min) before / after: %.2f / %.2f; highest seen between "
            "workloads: %.2f" % (self.loads[0][0], self.loads[-1][0],
                                 max(l[0] for l in self.loads)),
        ]

    def write(self):
        self.loads.append(os.getloadavg())
        text = ["# Benchmarks", "",
                "Written by `bench/run.sh`; every figure is the median of several runs, every "
                "ratio the median of ratios taken side by side in the same run (A, B, A, B, ...).",
                ""] + self.machine() + ["",
                "| workload | ours | baseline | ratio (wall) | ratio (processor) | target | holds |",
                "|---|---|---|---|---|---|---|"]
        for row in self.rows:
            text.append("| " + " | ".join(row) + " |")
        text.append("")
        if getattr(self, "silence_table", None):
            text += ["W5, the leading silence each way (ms):", "",
                     "| song | ours (silent frames) | ours (decoded start) | ffmpeg silencedetect "
                     "| first sample (fixtures.tsv) |",
                     "|---|---|---|---|---|"]
            for name, ours, decoded, ffmpeg, truth in self.silence_table:
                text.append("| %s | %d | %d | %.0f | %.0f |" % (name, ours, decoded, ffmpeg,
                                                              truth))
            text.append("")
        if getattr(self, "w6_table", None):
            text += ["W6 by size (medians; the ratio is pipeline / plain read + write):", "",
                     "| MiB | lines | pipeline ms | read + write ms | ratio | read and decode ms "
                     "| ms per MiB | x previous size |", "|---|---|---|---|---|---|---|---|"]
            for line in self.w6_table:
                text.append("| " + " | ".join(line) + " |")
            text.append("")
        text += self.notes
        findings = os.path.join(HERE, "findings.md")
        if os.path.exists(findings):
            text += ["", open(findings, encoding="utf-8").read().rstrip()]
        os.makedirs(os.path.dirname(os.path.abspath(self.output)), exist_ok=True)
        with open(self.output, "w", encoding="utf-8") as out:
            out.write("\n".join(text) + "\n")
        log("wrote %s" % self.output)
        print("\n".join(text))

    def run(self):
        os.makedirs(self.data, exist_ok=True)
        os.makedirs(self.disk, exist_ok=True)
        only = os.environ.get("BENCH_ONLY", "w1 w3 w3j w5 w6").split()
        steps = [("w1", self.library_walk), ("w3", self.batch_runs),
                 ("w3j", self.journal_runs), ("w5", self.silence),
                 ("w5", self.decoded_correction), ("w6", self.large_file)]
        for name, step in steps:
            if name in only:
                step()
                self.loads.append(os.getloadavg())
        self.write()


if __name__ == "__main__":
    Bench().run()
