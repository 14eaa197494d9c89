"""Our ODBC driver side by side with SQLite's (libsqliteodbc) through pyodbc,
in one run: executemany of ROWS rows into a new table, autocommit off, with
fast_executemany true and false (SQLite's driver without it: it crashes on
parameter arrays); and a fetch of all the link rows of
DATABASE, against a plain SQLite copy of the same tables. Prints each
measure's median over RUNS runs and the ratios.
Usage: odbc_vs_sqlite.py DATABASE WORK_FOLDER RUNS ROWS (drivers named
"Microsoft Access Driver (*.mdb)" and "SQLite3" in the odbcinst.ini in use)"""
import datetime
import os
import sqlite3
import statistics
import sys
import time

import pyodbc

database, work, runs, count = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
jetsql = os.environ["JETSQL"]
LINKS = ["CategIngre", "CategRecet", "Compositions"]


def ours(path):
    return pyodbc.connect("DRIVER={Microsoft Access Driver (*.mdb)};DBQ=" + path, autocommit=False)


def theirs(path):
    return pyodbc.connect("DRIVER={SQLite3};Database=" + path, autocommit=False)


rows = [(i, "ingrédient %d" % i, i * 0.25, datetime.datetime(2024, 1, 1) + datetime.timedelta(minutes=i))
        for i in range(count)]


def insert(connect, path, fast):
    if os.path.exists(path):
        os.remove(path)
    if connect is ours:
        os.system("%s --create %s < /dev/null" % (jetsql, path))
    c = connect(path)
    c.execute("CREATE TABLE Lignes (ID INTEGER, NOM VARCHAR(64), QTE DOUBLE, D DATETIME)")
    c.commit()
    cur = c.cursor()
    cur.fast_executemany = fast
    start = time.perf_counter()
    cur.executemany("INSERT INTO Lignes (ID, NOM, QTE, D) VALUES (?, ?, ?, ?)", rows)
    c.commit()
    took = time.perf_counter() - start
    written = c.execute("SELECT COUNT(*) FROM Lignes").fetchone()[0]
    assert written == count, (connect.__name__, written)
    c.close()
    return took


def fetch(connect, path):
    c = connect(path)
    start = time.perf_counter()
    n = sum(len(c.execute("SELECT * FROM " + t).fetchall()) for t in LINKS)
    took = time.perf_counter() - start
    c.close()
    return took, n


# The plain copy: the same columns and rows, SQLite's own types.
copy = os.path.join(work, "links.sqlite")
source = ours(database)
with sqlite3.connect(copy) as out:
    for t in LINKS:
        cur = source.execute("SELECT * FROM " + t)
        names = [d[0] for d in cur.description]
        out.execute("CREATE TABLE %s (%s)" % (t, ", ".join(names)))
        out.executemany("INSERT INTO %s VALUES (%s)" % (t, ", ".join("?" * len(names))), cur.fetchall())
source.close()

measures = {}
for run in range(runs):
    # SQLite's driver crashes on pyodbc's parameter arrays (fast_executemany):
    # ours is measured both ways against its row-by-row executemany.
    measures.setdefault("executemany theirs", []).append(insert(theirs, os.path.join(work, "insert.sqlite"), False))
    for fast in (True, False):
        key = "executemany fast_executemany=%s ours" % fast
        measures.setdefault(key, []).append(insert(ours, os.path.join(work, "insert.mdb"), fast))
    for connect, path in ((ours, database), (theirs, copy)):
        took, n = fetch(connect, path)
        measures.setdefault("fetch %d link rows %s" % (n, connect.__name__), []).append(took)

medians = {k: statistics.median(v) for k, v in measures.items()}
for k, v in medians.items():
    print("%-48s median %.3f s  (%s)" % (k, v, ", ".join("%.3f" % x for x in measures[k])))
for k in medians:
    if k.endswith(" ours"):
        base = k[: -len(" ours")]
        theirs_key = base + " theirs" if base + " theirs" in medians else "executemany theirs"
        print("%-48s ratio %.2f" % (base, medians[k] / medians[theirs_key]))
