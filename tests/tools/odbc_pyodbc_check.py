"""pyodbc on a converted sample, through the driver manager and our driver:
every table read with the Python types its columns promise, a parameterised
query, and the catalog answers against what `jetsql --csv .schema` prints.
Usage: odbc_pyodbc_check.py JETSQL DATABASE DSN DRIVER_NAME"""
import csv
import datetime
import decimal
import io
import subprocess
import sys

import pyodbc

jetsql, database, dsn, driver = sys.argv[1:5]
failures = []


def expect(ok, what):
    if not ok:
        failures.append(what)


def jet(*args):
    out = subprocess.run([jetsql, "--csv", database, *args], check=True, capture_output=True, text=True).stdout
    return out


# The Python type each Jet type must reach the program as, by the name the
# Access driver gives it.
PYTHON_TYPE = {"VARCHAR": str, "LONGCHAR": str, "BIT": bool, "BYTE": int, "SMALLINT": int, "INTEGER": int,
               "COUNTER": int,
               "REAL": float, "DOUBLE": float, "CURRENCY": decimal.Decimal, "DATETIME": datetime.datetime}

# The Jet name of the DDL where the Access driver's name differs.
JET_NAME = {"VARCHAR": "TEXT", "LONGCHAR": "MEMO", "SMALLINT": "SHORT", "INTEGER": "LONG"}

by_dsn = pyodbc.connect("DSN=" + dsn)
by_path = pyodbc.connect("DRIVER={%s};DBQ=%s" % (driver, database), autocommit=True)
cur = by_dsn.cursor()

tables = [r.table_name for r in cur.tables(tableType="TABLE")]
jet_tables = [row[0] for row in list(csv.reader(io.StringIO(jet(".tables"))))[1:]]
expect(tables == jet_tables, "SQLTables lists %s, jetsql %s" % (tables, jet_tables))

seen_types = set()
for table in tables:
    # The schema as jetsql prints it: three blocks (fields, indexes, relations).
    blocks = [list(csv.reader(io.StringIO(b))) for b in jet(".schema " + table).split("\n\n")]
    fields, indexes, relations = blocks[0][1:], blocks[1][1:], blocks[2][1:]
    columns = list(cur.columns(table=table))
    jet_names = [JET_NAME.get(c.type_name, c.type_name) for c in columns]
    described = [(c.column_name, name + ("(%d)" % c.column_size if name == "TEXT" else ""),
                  "" if c.nullable else "NOT NULL") for c, name in zip(columns, jet_names)]
    expect(described == [tuple(f) for f in fields], "%s: SQLColumns %s, jetsql %s" % (table, described, fields))
    primary = [(k.column_name, k.pk_name) for k in cur.primaryKeys(table)]
    expected_pk = [(c.strip("[]"), ix[0]) for ix in indexes if ix[1].startswith("PRIMARY KEY")
                   for c in ix[2].split(", ")]
    expect(primary == expected_pk, "%s: SQLPrimaryKeys %s, jetsql %s" % (table, primary, expected_pk))
    # Relations where this table refers to another: each as jetsql writes it.
    keys_by_name = {}
    for k in cur.foreignKeys(foreignTable=table):
        keys_by_name.setdefault(k.fk_name, []).append(k)
    refers = sorted("%s,[%s](%s),[%s](%s)" % (name, table, ", ".join("[%s]" % k.fkcolumn_name for k in keys),
                                               keys[0].pktable_name, ", ".join("[%s]" % k.pkcolumn_name for k in keys))
                    for name, keys in keys_by_name.items())
    expected_refers = sorted(",".join(r) for r in relations if r[1].startswith("[%s](" % table))
    expect(refers == expected_refers, "%s: SQLForeignKeys %s, jetsql %s" % (table, refers, expected_refers))

    rows = cur.execute("SELECT * FROM [%s]" % table).fetchall()
    count = int(jet("SELECT COUNT(*) FROM [%s]" % table).splitlines()[1])
    expect(len(rows) == count, "%s: %d rows read, %d in the table" % (table, len(rows), count))
    for row in rows:
        for value, column in zip(row, columns):
            if value is None:
                expect(column.nullable, "%s.%s: None in a required column" % (table, column.column_name))
                seen_types.add(type(None))
                continue
            want = PYTHON_TYPE[column.type_name]
            seen_types.add(want)
            expect(type(value) is want, "%s.%s: %r is not %s" % (table, column.column_name, value, want.__name__))
expect({int, float, str, datetime.datetime, bool, type(None)} <= seen_types, "types met: %s" % seen_types)

# A parameterised query gives the row that a literal one gives, accents and
# quotes included in the text parameter.
probe = cur.execute("SELECT INGRED_ID, NOM, DATE_MAJ FROM Ingredients WHERE NOM IS NOT NULL ORDER BY INGRED_ID") \
    .fetchall()[-1]
again = by_path.execute("SELECT INGRED_ID, NOM, DATE_MAJ FROM Ingredients WHERE INGRED_ID = ? AND NOM = ?",
                        probe.INGRED_ID, probe.NOM).fetchall()
expect([tuple(r) for r in again] == [tuple(probe)], "parameters: %s, expected %s" % (again, probe))
name = "L'œuf « cocotte » à la crème"
changed = by_path.execute("UPDATE Ingredients SET NOM = ?, DATE_MAJ = ? WHERE INGRED_ID = ?", name,
                          datetime.datetime(2024, 2, 29, 23, 59, 58), probe.INGRED_ID).rowcount
expect(changed == 1, "UPDATE by key counts %d rows" % changed)
back = jet("SELECT NOM, DATE_MAJ FROM Ingredients WHERE INGRED_ID = %d" % probe.INGRED_ID).splitlines()[1]
expect(back.startswith('"%s",2024-02-29 23:59:58' % name.replace('"', '""')) or
       back.startswith("%s,2024-02-29 23:59:58" % name), "written through parameters, jetsql reads %s" % back)

# A text longer than pyodbc binds at once goes piece by piece (data at
# execution), and reads back in pieces, whole, surrogate pairs included.
memo = "é'𝄞 crème" * 3000
by_path.execute("UPDATE Ingredients SET REMARQUE = ? WHERE INGRED_ID = ?", memo, probe.INGRED_ID)
back = cur.execute("SELECT REMARQUE FROM Ingredients WHERE INGRED_ID = ?", probe.INGRED_ID).fetchone()[0]
expect(back == memo, "a long text written and read back gives %d characters of %d" % (len(back or ""), len(memo)))

if failures:
    print("\n".join(failures))
    sys.exit(1)
print("pyodbc read %d tables; types met: %s" % (len(tables), sorted(t.__name__ for t in seen_types)))
