#include "platform/recordset.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "jetdb/jetdb.h"
#include "test_support/db_files.h"

namespace {

const char kCreateTable[] =
    "CREATE TABLE [Mesures] ([ID] INTEGER CONSTRAINT PrimaryKey PRIMARY KEY, [L] INTEGER, [I] INTEGER, "
    "[B] BYTE, [F] BIT, [D] DOUBLE, [W] DATETIME, [T] TEXT(255))";

// One member of every exchange type.
class CMesuresSet : public CRecordset {
 public:
  explicit CMesuresSet(CDatabase* pDatabase) : CRecordset(pDatabase) { m_nFields = 8; }

  LONG m_ID = 0;
  LONG m_L = 0;
  int m_I = 0;
  BYTE m_B = 0;
  BOOL m_F = FALSE;
  double m_D = 0;
  CTime m_W;
  CString m_T;

  CString GetDefaultConnect() override { return "ODBC;DSN=TQ2TMP;UID=admin;PWD=qlvm7;"; }
  CString GetDefaultSQL() override { return "[Mesures]"; }
  void DoFieldExchange(CFieldExchange* pFX) override {
    pFX->SetFieldType(CFieldExchange::outputColumn);
    RFX_Long(pFX, "[ID]", m_ID);
    RFX_Long(pFX, "[L]", m_L);
    RFX_Int(pFX, "[I]", m_I);
    RFX_Byte(pFX, "[B]", m_B);
    RFX_Bool(pFX, "[F]", m_F);
    RFX_Double(pFX, "[D]", m_D);
    RFX_Date(pFX, "[W]", m_W);
    RFX_Text(pFX, "[T]", m_T);
  }
};

class RecordsetTest : public ::testing::Test {
 protected:
  RecordsetTest() {
    m_files.Register("TQ2TMP", m_files.Create("base.mdb", {kCreateTable}));
    m_db.OpenEx("ODBC;DSN=TQ2TMP;UID=admin;PWD=qlvm7;");
  }

  void Insert(const char* values) {
    CString sql;
    sql.Format("INSERT INTO [Mesures] VALUES (%s)", values);
    m_db.ExecuteSQL(sql);
  }

  // The stored value of one column of one row, through SQL of its own.
  jetdb::Value Stored(const char* column, int id) {
    CString sql;
    sql.Format("SELECT [%s] FROM [Mesures] WHERE [ID]=%d", column, id);
    auto query = m_db.Driver().query(sql.str());
    EXPECT_TRUE(query && query->next());
    return query ? query->value(0) : jetdb::Value{};
  }

  DbFiles m_files;
  CDatabase m_db;
};

TEST_F(RecordsetTest, EveryExchangeTypeRoundTripsItsExtremesAndNull) {
  const std::string longText(255, 'x');
  const std::string accented = "Crème brûlée à l'œuf";
  const double tiny = std::numeric_limits<double>::lowest();
  struct Row {
    LONG l; int i; BYTE b; BOOL f; double d; CTime w; std::string t;
  };
  const Row rows[] = {
      {std::numeric_limits<LONG>::min(), std::numeric_limits<int>::min(), 0, FALSE, tiny,
       CTime(1900, 1, 1, 0, 0, 0), ""},
      {std::numeric_limits<LONG>::max(), std::numeric_limits<int>::max(), 255, TRUE,
       std::numeric_limits<double>::max(), CTime(9999, 12, 31, 23, 59, 59), longText},
      {0, 0, 0, FALSE, 0.0, CTime(2024, 3, 31, 2, 30, 0), accented},
  };
  {
    CMesuresSet set(&m_db);
    set.Open();
    int id = 1;
    for (const Row& row : rows) {
      set.AddNew();
      set.m_ID = id++;
      set.m_L = row.l;
      set.m_I = row.i;
      set.m_B = row.b;
      set.m_F = row.f;
      set.m_D = row.d;
      set.m_W = row.w;
      set.m_T = row.t;
      EXPECT_TRUE(set.Update());
    }
    set.AddNew();  // every other field never assigned: Null
    set.m_ID = id;
    EXPECT_TRUE(set.Update());
    EXPECT_TRUE(set.IsEOF());  // a snapshot of an empty table stays empty
  }
  EXPECT_EQ(Stored("F", 2).integer, -1);  // Access's True
  EXPECT_TRUE(Stored("L", 4).isNull());
  EXPECT_TRUE(Stored("T", 4).isNull());
  EXPECT_EQ(Stored("T", 3).text, accented);

  CMesuresSet set(&m_db);
  set.m_strSort = "[ID]";
  set.Open();
  for (const Row& row : rows) {
    ASSERT_FALSE(set.IsEOF());
    EXPECT_EQ(set.m_L, row.l);
    EXPECT_EQ(set.m_I, row.i);
    EXPECT_EQ(set.m_B, row.b);
    EXPECT_EQ(set.m_F, row.f);
    EXPECT_EQ(set.m_D, row.d);
    EXPECT_EQ(set.m_W, row.w) << set.m_W.GetYear();
    EXPECT_EQ(set.m_T, row.t.c_str());
    EXPECT_FALSE(set.IsFieldNull(&set.m_L));
    set.MoveNext();
  }
  EXPECT_EQ(set.m_ID, 4);
  EXPECT_TRUE(set.IsFieldNull(&set.m_L));
  EXPECT_TRUE(set.IsFieldNull(&set.m_W));
  EXPECT_EQ(set.m_L, 0);
  EXPECT_EQ(set.m_F, FALSE);
  EXPECT_TRUE(set.m_T.IsEmpty());
  EXPECT_EQ(set.m_W, CTime(0));
  set.MoveNext();
  EXPECT_TRUE(set.IsEOF());
  EXPECT_THROW(set.MoveNext(), CDBException);
}

TEST_F(RecordsetTest, UpdateWritesOnlyWhatChanged) {
  Insert("1, 10, NULL, 3, 0, NULL, NULL, 'a'");
  CMesuresSet set(&m_db);
  set.Open();
  ASSERT_FALSE(set.IsEOF());

  set.Edit();
  set.m_L = 10;  // the same value again
  EXPECT_FALSE(set.Update());

  // Behind the set's back; an Update of another field must not undo it.
  m_db.ExecuteSQL("UPDATE [Mesures] SET [T]='b'");
  set.Edit();
  set.m_B = 4;
  EXPECT_TRUE(set.Update());
  EXPECT_EQ(Stored("B", 1).integer, 4);
  EXPECT_EQ(Stored("T", 1).text, "b");
  EXPECT_TRUE(Stored("I", 1).isNull());  // read as 0, left alone: still Null
  EXPECT_TRUE(Stored("D", 1).isNull());
  EXPECT_EQ(set.m_B, 4);  // the set stays on its row, with the new value

  // Zero is a real value: assigned after AddNew it is written, not Null.
  set.AddNew();
  set.m_ID = 2;
  set.m_I = 0;
  set.m_F = FALSE;
  EXPECT_TRUE(set.Update());
  EXPECT_EQ(Stored("I", 2).integer, 0);
  EXPECT_TRUE(Stored("L", 2).isNull());
  EXPECT_EQ(set.m_ID, 1);  // back on the row it was on

  set.AddNew();
  EXPECT_FALSE(set.Update());  // nothing assigned, nothing inserted

  set.Edit();
  set.SetFieldNull(&set.m_L);
  EXPECT_TRUE(set.Update());
  EXPECT_TRUE(Stored("L", 1).isNull());
  EXPECT_TRUE(set.IsFieldNull(&set.m_L));

  set.Close();
  set.Open();
  int rows = 0;
  for (; !set.IsEOF(); set.MoveNext()) ++rows;
  EXPECT_EQ(rows, 2);
}

TEST_F(RecordsetTest, FilterSortAndSnapshot) {
  Insert("1, 5, 0, 0, 0, 0, NULL, 'x'");
  Insert("2, 7, 0, 0, 0, 0, NULL, 'y'");
  CMesuresSet set(&m_db);
  set.m_strFilter = "[L] > 4";
  set.m_strSort = "[L] DESC";
  set.Open();
  EXPECT_EQ(set.GetSQL(), "SELECT [ID],[L],[I],[B],[F],[D],[W],[T] FROM [Mesures] WHERE [L] > 4 ORDER BY [L] DESC");
  EXPECT_EQ(set.m_ID, 2);
  Insert("3, 9, 0, 0, 0, 0, NULL, 'z'");
  EXPECT_EQ(set.m_ID, 2);  // rows of the last Open: the new one is not there
  set.Requery();
  EXPECT_EQ(set.m_ID, 3);

  set.m_strFilter = "[ID]=99";
  set.Requery();
  EXPECT_TRUE(set.IsEOF());
  EXPECT_TRUE(set.IsBOF());
}

// A text member bound shorter than its column, as the label formats bind
// theirs.
class CShortTextSet : public CRecordset {
 public:
  explicit CShortTextSet(CDatabase* pDatabase) : CRecordset(pDatabase) { m_nFields = 2; }
  LONG m_ID = 0;
  CString m_T;
  CString GetDefaultSQL() override { return "[Mesures]"; }
  void DoFieldExchange(CFieldExchange* pFX) override {
    pFX->SetFieldType(CFieldExchange::outputColumn);
    RFX_Long(pFX, "[ID]", m_ID);
    RFX_Text(pFX, "[T]", m_T, 5);
  }
};

// Each row's texts are loaded into the members the row before filled: a
// text longer than the binding is cut to its characters (not its bytes),
// and a shorter text, an empty one or a Null leaves nothing of the one
// before. Edit then sees the row's own values.
TEST_F(RecordsetTest, TextsAreLoadedWholeOrCutToTheirCharacters) {
  Insert("1, 0, 0, 0, 0, 0, NULL, 'Crème brûlée'");
  Insert("2, 0, 0, 0, 0, 0, NULL, 'abc'");
  Insert("3, 0, 0, 0, 0, 0, NULL, NULL");
  Insert("4, 0, 0, 0, 0, 0, NULL, ''");
  Insert("5, 0, 0, 0, 0, 0, NULL, 'éèêëà'");
  CShortTextSet set(&m_db);
  set.m_strSort = "[ID]";
  set.Open();
  EXPECT_EQ(set.m_T, "Crème");
  set.MoveNext();
  EXPECT_EQ(set.m_T, "abc");
  set.Edit();
  EXPECT_FALSE(set.Update());  // nothing changed
  set.MoveNext();
  EXPECT_TRUE(set.m_T.IsEmpty());
  EXPECT_TRUE(set.IsFieldNull(&set.m_T));
  set.Edit();
  EXPECT_FALSE(set.Update());  // a Null left as it is is not written
  set.MoveNext();
  EXPECT_TRUE(set.m_T.IsEmpty());
  EXPECT_FALSE(set.IsFieldNull(&set.m_T));
  set.MoveNext();
  EXPECT_EQ(set.m_T, "éèêëà");
  set.Edit();
  set.m_T = "ab";
  EXPECT_TRUE(set.Update());
  EXPECT_EQ(set.m_T, "ab");
  EXPECT_EQ(Stored("T", 5).text, "ab");
  EXPECT_TRUE(Stored("T", 3).isNull());
  EXPECT_EQ(Stored("T", 1).text, "Crème brûlée");  // only read, never cut in the table
}

TEST_F(RecordsetTest, RefusedWritesAndMisfitValuesThrow) {
  Insert("1, 1, 1, 1, 0, 1, NULL, 'un'");
  CMesuresSet set(&m_db);
  set.Open();
  set.AddNew();
  set.m_ID = 1;  // the primary key again
  try {
    set.Update();
    FAIL();
  } catch (CDBException& e) {
    EXPECT_EQ(e.m_strStateNativeOrigin.Left(12), "State:23000,");
  }
  set.CancelUpdate();

  set.Edit();
  set.m_T = CString(std::string(256, 'x'));
  EXPECT_THROW(set.Update(), CDBException);
  set.CancelUpdate();
  set.Close();

  // A byte member cannot hold what a Long column may.
  m_db.ExecuteSQL("UPDATE [Mesures] SET [B]=NULL");
  m_db.ExecuteSQL("ALTER TABLE [Mesures] ALTER COLUMN [B] INTEGER");
  m_db.ExecuteSQL("UPDATE [Mesures] SET [B]=300");
  EXPECT_THROW(set.Open(), CDBException);
  EXPECT_FALSE(set.IsOpen());

  CMesuresSet readOnlySet(&m_db);
  m_db.ExecuteSQL("UPDATE [Mesures] SET [B]=1");
  readOnlySet.Open(CRecordset::snapshot, nullptr, CRecordset::readOnly);
  EXPECT_THROW(readOnlySet.Edit(), CDBException);
  EXPECT_THROW(readOnlySet.AddNew(), CDBException);
}

TEST_F(RecordsetTest, ABoundColumnTheTableLacksFailsAtOpen) {
  m_db.ExecuteSQL("CREATE TABLE [Petit] ([ID] INTEGER, [L] INTEGER)");
  CMesuresSet set(&m_db);
  EXPECT_THROW(set.Open(CRecordset::snapshot, "[Petit]"), CDBException);
  EXPECT_FALSE(set.IsOpen());
}

TEST_F(RecordsetTest, ASetOpenedReadOnlyOpensItsOwnDatabaseReadOnly) {
  Insert("1, 42, 0, 0, 0, 0, NULL, 'x'");
  m_db.Close();
  const std::string path = m_files.dir() + "/base.mdb";
  const std::string before = ReadFile(path);

  CMesuresSet set(nullptr);
  set.Open(CRecordset::snapshot, nullptr, CRecordset::readOnly);
  EXPECT_EQ(set.m_L, 42);
  try {
    set.m_pDatabase->ExecuteSQL("DELETE FROM [Mesures]");
    ADD_FAILURE() << "a delete went through the set's read-only database";
  } catch (CDBException& e) {
    EXPECT_EQ(e.m_strStateNativeOrigin.Left(23), "State:HY000,Native:3027");
  }
  // A set that borrows the connection cannot write through it either.
  CMesuresSet borrower(set.m_pDatabase);
  borrower.Open();
  borrower.Edit();
  borrower.m_L = 43;
  EXPECT_THROW(borrower.Update(), CDBException);
  borrower.Close();
  set.Close();
  EXPECT_EQ(ReadFile(path), before);
  EXPECT_FALSE(FileExists(path + "-wal"));

  // Without the option the set's own database writes.
  CMesuresSet writer(nullptr);
  writer.Open();
  writer.Edit();
  writer.m_L = 43;
  EXPECT_TRUE(writer.Update());
}

}  // namespace

// A copy of a row through CopyFields gives that row: Nulls arrive as Nulls
// on a new row and on an edited one, and a value overwrites a Null even
// when it equals what the Null was read as (0, an empty text).
TEST_F(RecordsetTest, CopiesCarryTheNullStatusBothWays) {
  Insert("1, NULL, 0, NULL, 0, NULL, NULL, ''");  // the copied row
  Insert("2, 5, NULL, 7, NULL, 2.5, NULL, NULL");  // the row it overwrites
  using S = CMesuresSet;
  auto copyAll = [](const S& from, S& to) {
    CopyFields(from, to, &S::m_L, &S::m_I, &S::m_B, &S::m_F, &S::m_D, &S::m_W, &S::m_T);
  };
  CMesuresSet from(&m_db);
  from.m_strFilter = "[ID]=1";
  from.Open();
  CMesuresSet to(&m_db);
  to.m_strFilter = "[ID]=2";
  to.Open();

  to.AddNew();
  EXPECT_TRUE(to.IsFieldNull(&to.m_L));  // a new row is Null until assigned
  to.m_ID = 3;
  copyAll(from, to);
  EXPECT_TRUE(to.Update());
  to.Edit();
  copyAll(from, to);
  EXPECT_TRUE(to.Update());

  for (int id : {2, 3}) {
    SCOPED_TRACE(id);
    EXPECT_TRUE(Stored("L", id).isNull());
    EXPECT_EQ(Stored("I", id).integer, 0);
    EXPECT_FALSE(Stored("I", id).isNull());
    EXPECT_TRUE(Stored("B", id).isNull());
    EXPECT_FALSE(Stored("F", id).isNull());
    EXPECT_TRUE(Stored("D", id).isNull());
    EXPECT_TRUE(Stored("W", id).isNull());
    EXPECT_EQ(Stored("T", id).text, "");
    EXPECT_FALSE(Stored("T", id).isNull());
  }
  EXPECT_TRUE(to.IsFieldNull(&to.m_L));
  EXPECT_FALSE(to.IsFieldNull(&to.m_I));

  // SetFieldNull(FALSE) on a member that the set left unchanged still
  // writes it; on a field that was not Null it changes nothing.
  to.Edit();
  to.SetFieldNull(&to.m_L, FALSE);
  to.SetFieldNull(&to.m_I, FALSE);
  EXPECT_TRUE(to.Update());
  EXPECT_EQ(Stored("L", 2).integer, 0);
  EXPECT_FALSE(Stored("L", 2).isNull());
}

namespace {

// The values that row `id` of the large table holds: negative and large
// numbers, Nulls now and then, texts of every length up to the column's.
CString TextOf(int id) {
  return CString(std::string(static_cast<std::size_t>(id % 256), static_cast<char>('a' + id % 26)).c_str());
}
LONG LongOf(int id) { return id % 3 == 0 ? -id * 65537 : id * 40503; }
double DoubleOf(int id) { return id / 7.0 - 300.5; }

}  // namespace

// Rows enough to fill several blocks of the snapshot's storage: each comes
// back in the sort's order with its own values, an edited row shows what was
// written and a deleted one is passed over, and the Nulls stay Null.
TEST_F(RecordsetTest, ALargeSnapshotKeepsEveryRowInOrderThroughEditsAndDeletes) {
  constexpr int kRows = 9000;
  m_db.BatchWrites(TRUE);
  for (int id = 1; id <= kRows; ++id) {
    CString values;
    if (id % 11 == 0)
      values.Format("%d, %ld, %d, %d, %s, NULL, NULL, NULL", id, static_cast<long>(LongOf(id)), -id, id % 256,
                    id % 2 ? "True" : "False");
    else
      values.Format("%d, %ld, %d, %d, %s, %.17g, #2004-05-06#, '%s'", id, static_cast<long>(LongOf(id)), -id,
                    id % 256, id % 2 ? "True" : "False", DoubleOf(id), TextOf(id).GetString());
    Insert(values);
  }
  m_db.BatchWrites(FALSE);

  CMesuresSet set(&m_db);
  set.m_strSort = "[I]";  // the reverse of the order of insertion
  set.Open();
  int expected = kRows;
  for (; !set.IsEOF(); set.MoveNext(), --expected) {
    ASSERT_EQ(set.m_ID, expected);
    if (expected % 1000 == 500) {
      set.Edit();
      set.m_T = "modifié";
      set.m_L = 0;
      set.Update();
      EXPECT_EQ(set.m_ID, expected);
      EXPECT_EQ(set.m_T, "modifié");
      EXPECT_EQ(set.m_L, 0);
      EXPECT_EQ(set.m_I, -expected);
      continue;
    }
    if (expected % 1000 == 7) {
      set.Delete();
      continue;
    }
    ASSERT_EQ(set.m_L, LongOf(expected));
    ASSERT_EQ(set.m_I, -expected);
    ASSERT_EQ(set.m_B, expected % 256);
    ASSERT_EQ(set.m_F != FALSE, expected % 2 == 1);
    const bool nulls = expected % 11 == 0;
    ASSERT_EQ(set.IsFieldNull(&set.m_T) != FALSE, nulls);
    ASSERT_EQ(set.IsFieldNull(&set.m_D) != FALSE, nulls);
    ASSERT_EQ(set.m_T, nulls ? CString() : TextOf(expected));
    ASSERT_EQ(set.m_D, nulls ? 0.0 : DoubleOf(expected));
  }
  EXPECT_EQ(expected, 0);

  // What the edits wrote is in the table, and the deleted rows are gone.
  set.Requery();
  int rows = 0;
  for (; !set.IsEOF(); set.MoveNext(), ++rows) {
    ASSERT_NE(set.m_ID % 1000, 7);
    if (set.m_ID % 1000 == 500) {
      EXPECT_EQ(set.m_T, "modifié");
    }
  }
  EXPECT_EQ(rows, kRows - kRows / 1000);
}
