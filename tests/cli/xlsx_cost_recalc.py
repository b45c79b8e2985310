#!/usr/bin/env python3
"""The cost table of the XLSX report recalculates in LibreOffice Calc after a rate is changed.

Usage: xlsx_cost_recalc.py BINARY EXAMPLES_DIR
Writes a workbook with --rates, --word-price and --currency, checks its cached figures against the
JSON summary, changes one band's rate and the price with openpyxl (which drops every cached value),
lets Calc (headless, a profile of its own) convert the workbook and reads what Calc worked out.
"""
import json
import os
import shutil
import subprocess
import sys
import tempfile

from checks import check, close_checks

BINARY, EXAMPLES = sys.argv[1], sys.argv[2]
RATES = "100:0,95:25,85:50,75:70,50:100,0:100"
SKIP = 77


def cost_table(sheet):
    """The price cell and the rows of the cost table: (band, words, rate, weighted, cost) by sheet row."""
    rows = list(sheet.iter_rows())
    price = next(r[1] for r in rows if r[0].value == "Full rate per word")
    caption = next(i for i, r in enumerate(rows) if r[2].value == "Rate, % of full")
    table = rows[caption + 1:caption + 8]  # six bands and the total
    return price, table


def main():
    try:
        import openpyxl
    except ImportError:
        print("SKIP: the workbook library openpyxl is missing (Debian python3-openpyxl)")
        return SKIP
    if not shutil.which("soffice"):
        print("SKIP: soffice is missing (Debian libreoffice-calc-nogui)")
        return SKIP
    work = tempfile.mkdtemp(prefix="lexmora-cost-")
    try:
        out = os.path.join(work, "out")
        proc = subprocess.run([BINARY, "-q", "--json", "-f", "xlsx", "-o", out, "-s", os.path.join(EXAMPLES, "before"),
                               "-e", os.path.join(EXAMPLES, "after"), "--rates", RATES, "--word-price", "0.12",
                               "--currency", "EUR"], capture_output=True, timeout=240, stdin=subprocess.DEVNULL)
        check(proc.returncode == 0, "exit 0: %r" % proc.stderr[-300:])
        summary = json.loads(proc.stdout.decode("utf-8"))
        pair = summary["pairs"][0]
        report = pair["report"]

        # The cached figures are the JSON's.
        book = openpyxl.load_workbook(report, data_only=True)
        price, table = cost_table(book["Analysis"])
        check(price.value == 0.12, "the price has a cell of its own: %r" % price.value)
        for band, row in zip(pair["bands"], table):
            check(row[0].value == band["band"] and row[1].value == band["words"] and row[2].value == band["rate"],
                  "band %s: words and rate cells" % band["band"])
            check(abs(row[3].value - band["weighted_words"]) < 1e-3 and abs(row[4].value - band["cost"]) < 1e-3,
                  "band %s: cached weighted words and cost" % band["band"])
        check(abs(table[6][4].value - pair["cost"]) < 1e-3, "cached total cost %r vs %r" % (table[6][4].value, pair["cost"]))

        # Formulas, not numbers: change the rate of the band with the most words, and the price.
        book = openpyxl.load_workbook(report)
        price, table = cost_table(book["Analysis"])
        check(all(str(r[3].value).startswith("=") and str(r[4].value).startswith("=") for r in table),
              "weighted words and cost are formulas")
        busiest = max(range(6), key=lambda i: table[i][1].value)
        table[busiest][2].value = 40
        price.value = 0.5
        changed = os.path.join(work, "changed.xlsx")
        book.save(changed)

        calc_out = os.path.join(work, "calc")
        profile = "file://" + os.path.join(work, "lo-profile")
        proc = subprocess.run(["soffice", "-env:UserInstallation=" + profile, "--headless", "--norestore",
                               "--convert-to", "xlsx", "--outdir", calc_out, changed],
                              capture_output=True, timeout=180, stdin=subprocess.DEVNULL, start_new_session=True)
        recalculated = os.path.join(calc_out, "changed.xlsx")
        check(proc.returncode == 0 and os.path.isfile(recalculated), "Calc converted the workbook: %r" % proc.stderr[-300:])
        if not os.path.isfile(recalculated):
            return close_checks()
        _, table = cost_table(openpyxl.load_workbook(recalculated, data_only=True)["Analysis"])
        rates = [b["rate"] for b in pair["bands"]]
        rates[busiest] = 40
        weighted = sum(b["words"] * r / 100 for b, r in zip(pair["bands"], rates))
        check(weighted != pair["weighted_words"], "the changed rate makes a difference")
        check(abs(table[6][3].value - weighted) < 1e-6,
              "total weighted words follow the rate: %r vs %r" % (table[6][3].value, weighted))
        check(abs(table[6][4].value - weighted * 0.5) < 1e-6,
              "total cost follows the rate and the price: %r vs %r" % (table[6][4].value, weighted * 0.5))
    finally:
        shutil.rmtree(work, ignore_errors=True)
    return close_checks()


if __name__ == "__main__":
    sys.exit(main())
