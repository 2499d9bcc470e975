#!/usr/bin/env python3
"""Seeds each fault of scripts/mutations.txt into a scratch copy of the tree and runs the tests.

Started through scripts/mutation-check.sh, which says how to use it. Reads the source tree,
never writes it: everything happens in the scratch folder.
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
from dataclasses import dataclass, field

FIELDS = ("id", "file", "from", "to", "why", "tests")
REQUIRED = ("id", "file", "from", "why")


@dataclass
class Fault:
    id: str
    file: str
    original: str
    replacement: str
    why: str
    tests: str = ""
    line: int = 0


@dataclass
class Outcome:
    fault: Fault
    verdict: str  # caught, missed, error
    detail: str = ""
    seconds: float = 0.0


class ListError(Exception):
    pass


def read_faults(path):
    """The faults of the list: blocks of "key: value" lines, one block per fault.

    A value is the rest of its line after "key: ", taken exactly (trailing blanks aside), so
    code with quotes, backslashes or "|" needs no escaping. An empty "to:" deletes the text.
    """
    faults = []
    block = {}
    start = 0

    def finish():
        nonlocal block
        if not block:
            return
        missing = [key for key in REQUIRED if not block.get(key)]
        if missing:
            raise ListError(f"{path}:{start}: fault without {', '.join(missing)}")
        if "to" not in block:
            raise ListError(f"{path}:{start}: fault {block['id']} without a to: line")
        faults.append(Fault(block["id"], block["file"], block["from"], block["to"],
                            block["why"], block.get("tests", ""), start))
        block = {}

    with open(path, encoding="utf-8") as lines:
        for number, raw in enumerate(lines, 1):
            text = raw.rstrip("\n").rstrip()
            if not text.strip():
                finish()
                continue
            if text.lstrip().startswith("#"):
                continue
            key, colon, value = text.partition(":")
            if not colon or key not in FIELDS:
                raise ListError(f"{path}:{number}: expected one of {', '.join(FIELDS)}")
            if key in block:
                raise ListError(f"{path}:{number}: {key} given twice in one fault")
            if not block:
                start = number
            block[key] = value[1:] if value.startswith(" ") else value
        finish()

    seen = set()
    for fault in faults:
        if fault.id in seen:
            raise ListError(f"{path}:{fault.line}: id {fault.id} used twice")
        seen.add(fault.id)
    return faults


def tracked_files(source):
    """The files of the source tree as git sees them, with new files not yet committed."""
    listing = subprocess.run(
        ["git", "-C", source, "ls-files", "-z", "--cached", "--others", "--exclude-standard"],
        check=True, capture_output=True).stdout
    return sorted({name for name in listing.decode("utf-8").split("\0") if name})


def sync_tree(source, tree, names):
    """Makes tree hold exactly the named files of source. A file whose bytes are already the
    same is left alone, so its time stamp stays and a kept build is not redone."""
    wanted = set()
    for name in names:
        origin = os.path.join(source, name)
        if not os.path.lexists(origin):
            continue  # deleted in the working tree and not yet committed
        wanted.add(name)
        target = os.path.join(tree, name)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        if os.path.islink(origin):
            if os.path.lexists(target):
                os.remove(target)
            os.symlink(os.readlink(origin), target)
            continue
        with open(origin, "rb") as handle:
            content = handle.read()
        if not os.path.islink(target) and os.path.isfile(target):
            with open(target, "rb") as handle:
                if handle.read() == content:
                    continue
            os.remove(target)
        elif os.path.lexists(target):
            os.remove(target)
        with open(target, "wb") as handle:
            handle.write(content)
        shutil.copymode(origin, target)
    for folder, subfolders, files in os.walk(tree):
        relative = os.path.relpath(folder, tree)
        if relative == "build" or relative.startswith("build" + os.sep):
            continue
        for name in files:
            path = os.path.normpath(os.path.join(relative, name))
            if path not in wanted:
                os.remove(os.path.join(folder, name))
        if relative == ".":
            subfolders[:] = [name for name in subfolders if name != "build"]


def run(command, log, env, cwd=None):
    with open(log, "w", encoding="utf-8", errors="replace") as out:
        out.write("$ " + " ".join(command) + "\n")
        out.flush()
        return subprocess.run(command, stdout=out, stderr=subprocess.STDOUT, env=env,
                              cwd=cwd).returncode


FAILED_TEST = re.compile(r"Test\s+#\d+:\s+(\S+)\s.*\*\*\*([A-Za-z]+(?: [A-Za-z]+)?(?:: \w+)?)")


def first_failure(log):
    """The first test that failed in a ctest log, with how it failed."""
    with open(log, encoding="utf-8", errors="replace") as text:
        for line in text:
            match = FAILED_TEST.search(line)
            if match:
                return f"{match.group(1)} ({match.group(2).strip()})"
    return "ctest failed (no test named; see the log)"


def no_test_matched(log):
    with open(log, encoding="utf-8", errors="replace") as text:
        return "No tests were found" in text.read()


class Checker:
    def __init__(self, args, tree, build, logs):
        self.args = args
        self.tree = tree
        self.build = build
        self.logs = logs
        self.env = dict(os.environ)
        # The scratch folder has a new name each time: paths taken relative to it let
        # ccache serve a later run from the objects of an earlier one.
        self.env["CCACHE_BASEDIR"] = tree
        self.env["CCACHE_NOHASHDIR"] = "true"

    def log(self, name):
        return os.path.join(self.logs, name + ".log")

    def configure(self):
        command = ["cmake", "-S", self.tree, "-B", self.build, "-G", "Ninja",
                   "-DCMAKE_BUILD_TYPE=RelWithDebInfo", "-DTAVORIN_BENCH_SMOKE_TEST=ON"]
        if shutil.which("ccache"):
            command.append("-DCMAKE_CXX_COMPILER_LAUNCHER=ccache")
        return run(command, self.log("configure"), self.env) == 0

    def compile(self, log):
        return run(["cmake", "--build", self.build, "-j", str(self.args.jobs)], log,
                   self.env) == 0

    def ctest(self, log, regex=None):
        command = ["ctest", "--test-dir", self.build, "--stop-on-failure", "-j",
                   str(self.args.jobs), "--timeout", str(self.args.timeout), "--output-on-failure"]
        if regex:
            command += ["-R", regex]
        return run(command, log, self.env) == 0

    def check(self, fault):
        began = time.monotonic()
        path = os.path.join(self.tree, fault.file)
        if not os.path.isfile(path):
            return Outcome(fault, "error", f"no file {fault.file}")
        with open(path, encoding="utf-8", newline="") as handle:
            original = handle.read()
        count = original.count(fault.original)
        if count != 1:
            where = "not found" if count == 0 else f"found {count} times"
            return Outcome(fault, "error", f"text {where} in {fault.file}")
        with open(path, "w", encoding="utf-8", newline="") as handle:
            handle.write(original.replace(fault.original, fault.replacement))
        try:
            if not self.compile(self.log(fault.id + ".build")):
                return Outcome(fault, "error", "does not compile (see "
                               + self.log(fault.id + ".build") + ")")
            notes = []
            if fault.tests:
                log = self.log(fault.id + ".quick")
                if not self.ctest(log, fault.tests):
                    return Outcome(fault, "caught", first_failure(log),
                                   time.monotonic() - began)
                if no_test_matched(log):
                    notes.append(f"tests: {fault.tests} matches no test")
            log = self.log(fault.id + ".all")
            if not self.ctest(log):
                return Outcome(fault, "caught", "; ".join([first_failure(log)] + notes),
                               time.monotonic() - began)
            return Outcome(fault, "missed", "; ".join(notes), time.monotonic() - began)
        finally:
            with open(path, "w", encoding="utf-8", newline="") as handle:
                handle.write(original)


def verify(source, faults):
    """Whether each fault's text is found exactly once in its file of the source tree."""
    wrong = 0
    for fault in faults:
        try:
            with open(os.path.join(source, fault.file), encoding="utf-8", newline="") as handle:
                count = handle.read().count(fault.original)
        except OSError as error:
            count, problem = 0, f"cannot read {fault.file}: {error.strerror}"
        else:
            problem = "" if count == 1 else (f"text found {count} times in {fault.file}" if count
                                             else f"text not found in {fault.file}")
        if problem:
            wrong += 1
            print(f"{fault.id}: {problem}")
    print(f"{len(faults) - wrong} of {len(faults)} faults apply")
    return 0 if wrong == 0 else 1


def parse_arguments():
    parser = argparse.ArgumentParser(
        prog="mutation-check.sh",
        description="Seeds each fault of the list into a scratch copy and tells which faults "
                    "no test catches.")
    parser.add_argument("--only", action="append", default=[], metavar="PREFIX",
                        help="run only the faults whose id starts with PREFIX (song-mpeg2) or "
                             "that lie in src/PREFIX/ (song); repeatable, or comma-separated")
    parser.add_argument("--verify", action="store_true",
                        help="only check that each fault's text is found once in its file of "
                             "the source tree; builds nothing")
    parser.add_argument("--keep", action="store_true",
                        help="leave the scratch copy (tree, build and logs) behind")
    parser.add_argument("--source", default=None,
                        help="the tree to copy (default: the repository this script is in)")
    parser.add_argument("--list", default=None,
                        help="the fault list (default: scripts/mutations.txt of the source)")
    parser.add_argument("--scratch", default=None,
                        help="the scratch folder; an existing one is brought up to date and its "
                             "build reused (kept afterwards)")
    parser.add_argument("--timeout", type=int, default=300,
                        help="seconds a single test may take (default 300)")
    parser.add_argument("--jobs", type=int, default=2, help="build and test jobs (default 2)")
    parser.add_argument("--no-baseline", action="store_true",
                        help="skip the run of the unchanged tree that must pass first")
    return parser.parse_args()


def main():
    args = parse_arguments()
    here = os.path.dirname(os.path.abspath(__file__))
    source = os.path.abspath(args.source or os.path.dirname(here))
    list_path = os.path.abspath(args.list or os.path.join(source, "scripts", "mutations.txt"))
    try:
        faults = read_faults(list_path)
    except (ListError, OSError) as error:
        print(f"mutation-check: {error}", file=sys.stderr)
        return 2
    prefixes = [p for option in args.only for p in option.split(",") if p]
    if prefixes:
        faults = [f for f in faults
                  if any(f.id.startswith(p) or f.file.startswith(f"src/{p}/") for p in prefixes)]
        if not faults:
            print("mutation-check: no fault matches " + ", ".join(prefixes), file=sys.stderr)
            return 2

    if args.verify:
        return verify(source, faults)

    keep = args.keep or args.scratch is not None
    scratch = os.path.abspath(args.scratch) if args.scratch else tempfile.mkdtemp(
        prefix="tavorin-mutation-")
    tree = os.path.join(scratch, "tree")
    build = os.path.join(tree, "build")
    logs = os.path.join(scratch, "logs")
    os.makedirs(tree, exist_ok=True)
    os.makedirs(logs, exist_ok=True)
    checker = Checker(args, tree, build, logs)
    started = time.monotonic()
    print(f"mutation-check: {len(faults)} faults from {list_path}")
    print(f"mutation-check: copying {source} to {scratch}")
    try:
        sync_tree(source, tree, tracked_files(source))
        # Whatever goes wrong leaves the scratch folder behind, for its logs.
        keep = True
        if not checker.configure():
            print(f"mutation-check: cmake failed, see {checker.log('configure')}")
            return 2
        if not checker.compile(checker.log("baseline.build")):
            print("mutation-check: the unchanged tree does not build, see "
                  + checker.log("baseline.build"))
            return 2
        if not args.no_baseline:
            if not checker.ctest(checker.log("baseline.test")):
                print("mutation-check: the unchanged tree fails "
                      + first_failure(checker.log("baseline.test"))
                      + f", see {checker.log('baseline.test')}; every fault would look caught")
                return 2
            print(f"mutation-check: the unchanged tree builds and passes "
                  f"({time.monotonic() - started:.0f} s)")

        outcomes = []
        for number, fault in enumerate(faults, 1):
            outcome = checker.check(fault)
            outcomes.append(outcome)
            detail = f": {outcome.detail}" if outcome.detail else ""
            print(f"[{number}/{len(faults)}] {fault.id} {outcome.verdict}{detail} "
                  f"({outcome.seconds:.0f} s)", flush=True)

        caught = [o for o in outcomes if o.verdict == "caught"]
        missed = [o for o in outcomes if o.verdict == "missed"]
        errors = [o for o in outcomes if o.verdict == "error"]
        print()
        for title, group in (("Missed (no test fails):", missed),
                             ("Errors of the list (neither caught nor missed):", errors)):
            if group:
                print(title)
                for o in group:
                    print(f"  {o.fault.id}  {o.fault.file}  {o.fault.why}"
                          + (f"  [{o.detail}]" if o.detail else ""))
        keep = args.keep or args.scratch is not None or bool(errors)
        summary = f"{len(caught)} caught, {len(missed)} missed"
        if errors:
            summary += f", {len(errors)} errors of the list"
        print(f"{summary} ({time.monotonic() - started:.0f} s)")
        if keep:
            print(f"mutation-check: scratch copy and logs kept in {scratch}")
        return 0 if not missed and not errors else 1
    except KeyboardInterrupt:
        keep = args.keep or args.scratch is not None
        print("mutation-check: interrupted", file=sys.stderr)
        return 130
    finally:
        if not keep:
            shutil.rmtree(scratch, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
