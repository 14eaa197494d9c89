"""SQLAlchemy, with the Access dialect, and pandas through the driver as
an integrator uses them: tables of every type the dialect emits, rows with
autoincrement keys and their lastrowid, reflection, a rollback, and a
DataFrame written and read back equal.
Usage: odbc_sqlalchemy_check.py DATABASE (the dialect on sys.path)"""
import datetime
import decimal
import sys
import urllib.parse

import pandas as pd
import sqlalchemy as sa
from sqlalchemy.dialects import registry

registry.register("access.pyodbc", "sqlalchemy_access.pyodbc", "AccessDialect_pyodbc")
import sqlalchemy_access as sa_a  # noqa: E402

database = sys.argv[1]
failures = []


def expect(condition, message):
    if not condition:
        failures.append(message)
        print("FAIL: " + message)


connection = "DRIVER={Microsoft Access Driver (*.mdb, *.accdb)};DBQ=%s;ExtendedAnsiSQL=1" % database
engine = sa.create_engine("access+pyodbc:///?odbc_connect=" + urllib.parse.quote_plus(connection))

# Each type the dialect's DDL emits, with a value to write and the type the
# reflection must give back. LONGCHAR (sa.Text), DECIMAL(p,s), OLEOBJECT
# (sa.LargeBinary) and GUID come with the driver's new column types, and
# are checked once it makes them.
columns = [
    ("short", sa_a.ShortText(40), "crème brûlée", sa.String),
    ("yes", sa.Boolean, True, sa_a.YesNo),
    ("byte", sa_a.Byte, 200, sa_a.Byte),
    ("small", sa_a.Integer, -300, sa.SMALLINT),
    ("long", sa_a.LongInteger, 70000, sa.INTEGER),
    ("big", sa.BigInteger, 2 ** 31 - 1, sa.INTEGER),
    ("single", sa_a.Single, 1.5, sa_a.Single),
    ("double", sa_a.Double, 2.0 / 3.0, sa.FLOAT),
    ("money", sa_a.Currency, decimal.Decimal("1234.5678"), sa_a.Currency),
    ("when", sa_a.DateTime, datetime.datetime(2024, 2, 29, 23, 59, 58), sa.DATETIME),
    ("code", sa_a.Char(3), "abc", sa.String),
]
md = sa.MetaData()
every = sa.Table("every", md, sa.Column("id", sa.Integer, primary_key=True, autoincrement=True),
                 *[sa.Column(name, type_) for name, type_, _, _ in columns])
child = sa.Table("child", md, sa.Column("id", sa.Integer, primary_key=True, autoincrement=True),
                 sa.Column("every_id", sa.Integer, sa.ForeignKey("every.id")), sa.Column("note", sa_a.ShortText(20)))
md.create_all(engine)

row = {name: value for name, _, value, _ in columns}
with engine.begin() as c:
    keys = [c.execute(every.insert().values(**row)).inserted_primary_key[0] for _ in range(3)]
    expect(keys == [1, 2, 3], "autoincrement keys %s" % keys)
    cursor = c.connection.cursor()
    cursor.execute("INSERT INTO child (every_id, note) VALUES (?, ?)", 3, "enfant")
    cursor.execute("SELECT @@IDENTITY")
    expect(cursor.fetchone()[0] == 1, "@@IDENTITY after the child's first row")
    back = c.execute(sa.select(every).where(every.c.id == 2)).one()._mapping
    for name, _, value, _ in columns:
        expect(back[name] == value, "%s reads back %r, written %r" % (name, back[name], value))

inspector = sa.inspect(engine)
expect(sorted(inspector.get_table_names()) == ["child", "every"], "tables %s" % inspector.get_table_names())
reflected = {c["name"]: c for c in inspector.get_columns("every")}
expect(reflected["id"]["autoincrement"] and isinstance(reflected["id"]["type"], sa_a.AutoNumber),
       "id reflects as %s" % reflected["id"])
for name, _, _, want in columns:
    expect(isinstance(reflected[name]["type"], want), "%s reflects as %r" % (name, reflected[name]["type"]))
expect(reflected["short"]["type"].length == 40, "short reflects with length %s" % reflected["short"]["type"].length)

# A unit of work rolled back leaves nothing, definitions included; the next
# one goes on from the rows kept.
with engine.connect() as c:
    work = c.begin()
    c.execute(every.insert().values(short="annulé"))
    c.execute(sa.text("CREATE TABLE scratch (x INTEGER)"))
    work.rollback()
    expect(c.execute(sa.select(sa.func.count()).select_from(every)).scalar() == 3, "rows after the rollback")
expect("scratch" not in sa.inspect(engine).get_table_names(), "the table made in the rolled-back work is gone")
with engine.begin() as c:
    expect(c.execute(every.insert().values(short="après")).inserted_primary_key[0] == 4, "key after the rollback")

# Literals and expressions read with their own types (pandas binds by them).
with engine.connect() as c:
    lit = c.execute(sa.text("SELECT 'recette' AS genre, short, Len(short) AS n, long * 2 AS d FROM every "
                            "WHERE id = 1")).one()
    expect(tuple(lit) == ("recette", "crème brûlée", 12, 140000), "literal columns %s" % (tuple(lit),))
    expect(c.execute(sa.text("SELECT Sum(yes) FROM every WHERE id < 3")).scalar() == -2, "Sum of two Trues")

frame = pd.DataFrame({
    "n": [1, 2, 3],
    "name": ["sel", "crème", None],
    "price": [1.5, None, 3.25],
    "at": pd.to_datetime(["2024-01-01", "2024-02-29 10:00:05", None]),
    "ok": [True, False, True],
})
# A string column goes to a VARCHAR(255) until LONGCHAR, pandas' default, is made.
frame.to_sql("frame", engine, index=False, dtype={"name": sa_a.ShortText(255)})
read = pd.read_sql("SELECT * FROM frame ORDER BY n", engine)
expect(list(read.columns) == list(frame.columns), "columns read %s" % list(read.columns))
expect(frame.equals(read), "frame read back:\n%s\n%s" % (read, read.dtypes))

print("%d failed" % len(failures) if failures else "all passed")
sys.exit(1 if failures else 0)
