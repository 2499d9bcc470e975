#!/usr/bin/env bash
# Mutation check: do the tests catch the faults we know are easy to make?
#
# Each entry of scripts/mutations.txt is one plausible one-line bug: a text that occurs exactly
# once in a source file and what it becomes. For every entry the script copies the tree (the
# files git knows, with uncommitted changes) to a scratch folder, seeds the fault, rebuilds
# incrementally (one build folder for all entries, ccache when installed), runs the entry's
# own tests first (ctest -R with its "tests:" pattern) and then, if none failed, the whole
# suite, stopping at the first failure. It never writes to the source tree.
#
#   scripts/mutation-check.sh [--only PREFIX]... [--verify] [--keep] [--source DIR]
#       [--list FILE] [--scratch DIR] [--timeout SECONDS] [--jobs N] [--no-baseline]
#
#   --only song          only the entries whose id starts with "song" or whose file lies in
#                        src/song/ (repeatable, or "a,b"); --only song-mpeg2 for one entry
#   --verify             only check that every entry's text is found once; builds nothing
#   --keep               leave the scratch copy, its build and the logs (under logs/) behind
#   --source DIR         the tree to copy (default: the repository this script is in)
#   --scratch DIR        use (and keep) this scratch folder; a second run there rebuilds little
#   --timeout SECONDS    the most one test may take (default 300)
#   --no-baseline        skip the run of the unchanged copy (when it is known to pass)
#
# First the unchanged copy must build and pass, or every fault would look caught. Then one
# line per fault: its id, "caught" with the first failing test, "missed", or "error" when the
# entry itself is wrong (its text is not in the file exactly once, or the fault does not
# compile: a seeded fault must build). At the end the missed faults and the errors are listed
# again, then "N caught, M missed". Exit status 0 only when every fault was caught.
#
# A developer's tool: neither scripts/test.sh nor ctest runs it. A whole run takes a while
# (a build and a test run per fault). After moving code, run --verify and mend the entries of
# the files you touched.
#
# The list: blocks of "key: value" lines, one block per fault, blank lines between blocks,
# "#" lines are comments. Keys: id (its module first: timetag-, song-, writer-, ...), file,
# from (the exact text, the rest of the line), to (its replacement; empty deletes it), why
# (the fault in one line), tests (optional ctest -R pattern tried first).
set -euo pipefail
exec python3 "$(dirname "$0")/mutation_check.py" "$@"
