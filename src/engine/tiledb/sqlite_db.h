#pragma once
// A thin RAII layer over SQLite 3 for the tile-database writers: open or create a database,
// test for a table, run statements, hold transactions, and prepared statements with integer,
// text and blob parameters and integer columns. Every failure raises SqliteError.
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace engine {

class SqliteError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The text as an SQL string literal: single quotes, inner single quotes doubled.
std::string QuoteSqlLiteral(std::string_view text);

// One prepared statement; bound parameters are numbered from 1, columns from 0.
class SqliteStatement {
  public:
    SqliteStatement() = default;
    SqliteStatement(sqlite3* db, std::string_view sql);
    ~SqliteStatement();
    SqliteStatement(SqliteStatement&& other) noexcept;
    SqliteStatement& operator=(SqliteStatement&& other) noexcept;
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    SqliteStatement& BindInt(int index, std::int64_t value);
    SqliteStatement& BindText(int index, std::string_view text);
    // The bytes are copied by SQLite, so the caller's buffer may go away after the call.
    SqliteStatement& BindBlob(int index, std::string_view bytes);
    SqliteStatement& BindNull(int index);

    // Advances to the next row: true while a row is available, false at the end of the rows.
    bool Step();
    // Runs a statement that returns no rows, then resets it for the next use.
    void Run();
    // Back to the start, keeping the bindings (Run does this itself).
    void Reset();

    std::int64_t ColumnInt(int column) const;
    bool ColumnIsNull(int column) const;
    std::string ColumnText(int column) const;
    std::string ColumnBlob(int column) const;

  private:
    [[noreturn]] void Fail(const char* what) const;

    sqlite3* db_ = nullptr;
    sqlite3_stmt* stmt_ = nullptr;
};

class TSQLiteDatabase {
  public:
    // Opens the file, creating it when missing; text is UTF-8.
    explicit TSQLiteDatabase(const std::filesystem::path& file);
    ~TSQLiteDatabase();
    TSQLiteDatabase(const TSQLiteDatabase&) = delete;
    TSQLiteDatabase& operator=(const TSQLiteDatabase&) = delete;

    bool TableExists(std::string_view name);
    // Runs one or more statements separated by semicolons.
    void Execute(std::string_view sql);
    SqliteStatement Prepare(std::string_view sql);

    void BeginTransaction();
    void Commit();
    void Rollback();
    bool InTransaction() const;

    const std::filesystem::path& file() const { return file_; }

  private:
    std::filesystem::path file_;
    sqlite3* db_ = nullptr;
};

// Rolls back on scope exit unless committed, for work that must happen completely or not at all.
class SqliteTransaction {
  public:
    explicit SqliteTransaction(TSQLiteDatabase& db);
    ~SqliteTransaction();
    SqliteTransaction(const SqliteTransaction&) = delete;
    SqliteTransaction& operator=(const SqliteTransaction&) = delete;
    void Commit();

  private:
    TSQLiteDatabase& db_;
    bool open_ = true;
};

}  // namespace engine
