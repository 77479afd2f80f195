#!/usr/bin/env bash
# haverel on two survey lines, found through a wildcard name.
# Usage: bash run.sh <haverel binary> <output folder>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
program=$1
cd "$2"
"$program" "$here/L*.dat" survey survey.dat "$here/channels.txt" N
ls -R survey
