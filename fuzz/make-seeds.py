#!/usr/bin/env python3
"""Seed corpora for the fuzz targets, cut from the test data and the examples.

Usage: make-seeds.py <corpus-folder>. Makes <corpus-folder>/<target>/ for each
target; the inputs are small heads of the real files, in the layout each
target expects (pairs joined by the pair marker, the MINC call's setting
bytes before its points)."""
import pathlib
import struct
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
DATA = ROOT / "tests" / "data"
EXAMPLES = ROOT / "examples"
PAIR_MARKER = b"\n#~#~#\n"
LIMIT = 6000  # bytes: the targets run with -max_len 8192


def head(path, limit=LIMIT):
    """The first whole lines of a file, up to `limit` bytes."""
    data = path.read_bytes()
    if len(data) <= limit:
        return data
    cut = data.rfind(b"\n", 0, limit)
    return data[: cut + 1] if cut > 0 else data[:limit]


def existing(*paths):
    return [p for p in paths if p.is_file()]


def seeds():
    tarnby = existing(DATA / "tarnby" / "southline_con.mod", DATA / "tarnby" / "ubc4y350_con.mod",
                      DATA / "tarnby" / "ubc4y350_sus.mod", EXAMPLES / "tarnby" / "ubc4y350_con.mod")
    pellack = [(DATA / "pellack" / (n + ".obs"), DATA / "pellack" / (n + ".prd"))
               for n in ("test", "carry_over", "ubc4y350")]
    draymoor = existing(DATA / "draymoor" / "two_lines.cdi", EXAMPLES / "draymoor" / "survey.cdi")
    haverel = existing(EXAMPLES / "haverel" / "L1010.dat", EXAMPLES / "haverel" / "L1020.dat")
    text_files = tarnby + draymoor + haverel + existing(DATA / "fortran" / "listread.tsv", DATA / "pellack" / "test.obs")

    yield "list_input_fuzz", [head(p) for p in text_files]
    yield "line_reader_fuzz", [bytes([i]) + head(p, 3000) for i, p in enumerate(text_files)] + [b"\x07a\r\nb\r\r\n\nc\r"]

    topo = DATA / "tarnby" / "southline.topo"
    models = [head(p) for p in tarnby]
    if topo.is_file():
        models.append(head(DATA / "tarnby" / "southline_con.mod", 4000) + PAIR_MARKER + head(topo, 2000))
    yield "tarnby_model_fuzz", models

    vosklar = []
    for folder in (DATA / "vosklar").glob("*"):
        for listing in folder.glob("*.lst"):
            for result in sorted(folder.glob("Station_*/*.out"))[:2]:
                vosklar.append(head(listing, 1000) + PAIR_MARKER + head(result, 5000))
        for result in folder.glob("*.out"):
            vosklar.append(b"1 1.0 0.0 0.0\n" + PAIR_MARKER + head(result, 5000))
    yield "vosklar_stations_fuzz", vosklar

    yield "pellack_pair_fuzz", [head(o, 3500) + PAIR_MARKER + head(p, 3500) for o, p in pellack if o.is_file() and p.is_file()]
    yield "draymoor_cdi_fuzz", [head(p) for p in draymoor]
    yield "haverel_survey_fuzz", [head(p) for p in haverel]

    # A plane z = 2x + 3y + 1 on a 20 x 15 grid of unit cells, three channels,
    # under a few call settings.
    points = b"".join(struct.pack("<5f", x + 0.5, y + 0.5, 2 * x + 3 * y + 1, -(x + y), -1.0e32)
                      for y in range(0, 15, 2) for x in range(0, 20, 3))
    settings = [bytes([0, 2, 1, 1, 2, 0, 0, 0]), bytes([1, 2, 2, 2, 3, 2, 0, 5]), bytes([0, 2, 1, 3, 1, 4, 1, 0])]
    yield "minc_points_fuzz", [s + points for s in settings]


def main():
    corpus = pathlib.Path(sys.argv[1])
    for target, inputs in seeds():
        folder = corpus / target
        folder.mkdir(parents=True, exist_ok=True)
        for index, data in enumerate(inputs):
            (folder / f"seed-{index:02d}").write_bytes(data)


if __name__ == "__main__":
    main()
