#!/usr/bin/env bash
# Converts the bundled CDI data file (depths 10, 20 and 30 m; survey lines 101
# and "102 A") into an xyz data file and one data file per survey line, which
# land in the output folder under the names the line headers give.
# Usage: bash examples/draymoor/run.sh <path-to-draymoor> <output-folder>
set -euo pipefail
if [ $# -ne 2 ]; then
    echo "usage: bash $0 <path-to-draymoor> <output-folder>" >&2
    exit 2
fi
binary="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
here="$(cd "$(dirname "$0")" && pwd)"
mkdir -p "$2"
cd "$2"
"$binary" "$here/survey.cdi" survey.xyz
for made in survey.xyz 101.dat "102 A.dat"; do
    if [ ! -s "$made" ]; then
        echo "draymoor example: $made was not written" >&2
        exit 1
    fi
done
echo "draymoor example: $(($(wc -l < survey.xyz) - 1)) rows in $(pwd)/survey.xyz, line files 101.dat and \"102 A.dat\""
