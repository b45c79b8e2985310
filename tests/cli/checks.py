"""Bookkeeping shared by the end-to-end scripts: count checks, collect failures, close with one line."""

FAILURES = []
_COUNT = [0]


def check(cond, what):
    _COUNT[0] += 1
    if not cond:
        FAILURES.append(what)
        print("FAIL:", what)


def close_checks():
    """Prints the closing 'N passed, N failed' line; returns the exit status."""
    print("%d passed, %d failed" % (_COUNT[0] - len(FAILURES), len(FAILURES)))
    return 1 if FAILURES else 0
