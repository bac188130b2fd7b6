#include <gtest/gtest.h>

#include <string>

#include "engine/tiledb/sqlite_db.h"
#include "support/temp_dir.h"

namespace engine {
namespace {

TEST(SqliteDb, CreatesFileRunsStatementsAndReportsTables) {
    testsupport::TempDir dir;
    const auto file = dir / "a.db";
    {
        TSQLiteDatabase db(file);
        EXPECT_FALSE(db.TableExists("t"));
        db.Execute("CREATE TABLE t (a int, b text); INSERT INTO t VALUES (1, 'x');");
        EXPECT_TRUE(db.TableExists("t"));
        EXPECT_FALSE(db.TableExists("T2"));
    }
    ASSERT_TRUE(std::filesystem::exists(file));
    TSQLiteDatabase again(file);
    auto q = again.Prepare("SELECT a, b FROM t");
    ASSERT_TRUE(q.Step());
    EXPECT_EQ(q.ColumnInt(0), 1);
    EXPECT_EQ(q.ColumnText(1), "x");
    EXPECT_FALSE(q.Step());
}

TEST(SqliteDb, FailuresRaiseWithTheReason) {
    testsupport::TempDir dir;
    EXPECT_THROW(TSQLiteDatabase(dir / "missing-folder" / "a.db"), SqliteError);

    testsupport::WriteFileBytes(dir / "text.db", std::string(2048, 'x'));
    EXPECT_THROW(TSQLiteDatabase(dir / "text.db"), SqliteError);

    TSQLiteDatabase db(dir / "a.db");
    try {
        db.Execute(
            "CREATE TABLE t (a int PRIMARY KEY); INSERT INTO t VALUES (1); "
            "INSERT INTO t VALUES (1);");
        FAIL() << "duplicate key accepted";
    } catch (const SqliteError& e) {
        EXPECT_NE(std::string(e.what()).find("UNIQUE"), std::string::npos) << e.what();
    }
    EXPECT_THROW(db.Prepare("SELEC 1"), SqliteError);
    auto insert = db.Prepare("INSERT INTO t VALUES (?)");
    insert.BindInt(1, 1);
    EXPECT_THROW(insert.Run(), SqliteError);
    // The statement is usable again after the failure.
    insert.BindInt(1, 2);
    EXPECT_NO_THROW(insert.Run());
}

TEST(SqliteDb, BlobsKeepEveryByteAndQuotingEscapesQuotes) {
    testsupport::TempDir dir;
    TSQLiteDatabase db(dir / "a.db");
    db.Execute("CREATE TABLE t (id int, data blob, name text)");
    const std::string bytes("\x89PNG\0\r\n\x1a\0\xff", 10);
    auto insert = db.Prepare("INSERT INTO t VALUES (?, ?, ?)");
    insert.BindInt(1, 1).BindBlob(2, bytes).BindText(3, "a");
    insert.Run();
    insert.BindInt(1, 2).BindBlob(2, "").BindNull(3);
    insert.Run();
    db.Execute("INSERT INTO t VALUES (3, NULL, " + QuoteSqlLiteral("it's \"x\"") + ")");
    EXPECT_EQ(QuoteSqlLiteral("it's"), "'it''s'");

    auto q = db.Prepare("SELECT data, typeof(data), name FROM t ORDER BY id");
    ASSERT_TRUE(q.Step());
    EXPECT_EQ(q.ColumnBlob(0), bytes);
    ASSERT_TRUE(q.Step());
    EXPECT_EQ(q.ColumnText(1), "blob");  // empty, not NULL
    EXPECT_TRUE(q.ColumnIsNull(2));
    ASSERT_TRUE(q.Step());
    EXPECT_EQ(q.ColumnText(2), "it's \"x\"");
    EXPECT_FALSE(q.Step());
}

TEST(SqliteDb, TransactionsCommitOrRollBack) {
    testsupport::TempDir dir;
    TSQLiteDatabase db(dir / "a.db");
    db.Execute("CREATE TABLE t (a int)");
    EXPECT_FALSE(db.InTransaction());
    db.BeginTransaction();
    EXPECT_TRUE(db.InTransaction());
    db.Execute("INSERT INTO t VALUES (1)");
    db.Commit();
    EXPECT_FALSE(db.InTransaction());
    {
        SqliteTransaction guard(db);
        db.Execute("INSERT INTO t VALUES (2)");
    }  // not committed: rolled back
    {
        SqliteTransaction guard(db);
        db.Execute("INSERT INTO t VALUES (3)");
        guard.Commit();
    }
    EXPECT_THROW(db.Commit(), SqliteError);  // none open
    auto q = db.Prepare("SELECT group_concat(a) FROM t");
    ASSERT_TRUE(q.Step());
    EXPECT_EQ(q.ColumnText(0), "1,3");
}

}  // namespace
}  // namespace engine
