#include "engine/tiledb/sqlite_db.h"

#include <sqlite3.h>

#include <utility>

namespace engine {
namespace {

[[noreturn]] void Raise(sqlite3* db, std::string_view what, std::string_view sql = {}) {
    std::string text(what);
    if (!sql.empty()) {
        text += " (";
        text += sql.substr(0, 200);
        text += ")";
    }
    text += ": ";
    text += db != nullptr ? sqlite3_errmsg(db) : "out of memory";
    throw SqliteError(text);
}

}  // namespace

std::string QuoteSqlLiteral(std::string_view text) {
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted += '\'';
    for (const char c : text) {
        if (c == '\'') {
            quoted += '\'';
        }
        quoted += c;
    }
    quoted += '\'';
    return quoted;
}

// ---- SqliteStatement -----------------------------------------------------------------------

SqliteStatement::SqliteStatement(sqlite3* db, std::string_view sql) : db_(db) {
    if (sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &stmt_, nullptr) !=
        SQLITE_OK) {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
        Raise(db, "cannot prepare statement", sql);
    }
    if (stmt_ == nullptr) {
        throw SqliteError("empty statement");
    }
}

SqliteStatement::~SqliteStatement() {
    sqlite3_finalize(stmt_);
}

SqliteStatement::SqliteStatement(SqliteStatement&& other) noexcept
    : db_(std::exchange(other.db_, nullptr)), stmt_(std::exchange(other.stmt_, nullptr)) {}

SqliteStatement& SqliteStatement::operator=(SqliteStatement&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(stmt_);
        db_ = std::exchange(other.db_, nullptr);
        stmt_ = std::exchange(other.stmt_, nullptr);
    }
    return *this;
}

void SqliteStatement::Fail(const char* what) const {
    std::string_view sql;
    if (stmt_ != nullptr && sqlite3_sql(stmt_) != nullptr) {
        sql = sqlite3_sql(stmt_);
    }
    Raise(db_, what, sql);
}

SqliteStatement& SqliteStatement::BindInt(int index, std::int64_t value) {
    if (sqlite3_bind_int64(stmt_, index, value) != SQLITE_OK) {
        Fail("cannot bind parameter");
    }
    return *this;
}

SqliteStatement& SqliteStatement::BindText(int index, std::string_view text) {
    if (sqlite3_bind_text64(stmt_, index, text.data(), text.size(), SQLITE_TRANSIENT,
                            SQLITE_UTF8) != SQLITE_OK) {
        Fail("cannot bind parameter");
    }
    return *this;
}

SqliteStatement& SqliteStatement::BindBlob(int index, std::string_view bytes) {
    // An empty blob is still a blob (zero length), not NULL.
    static const char kEmpty = 0;
    const void* data = bytes.empty() ? &kEmpty : bytes.data();
    if (sqlite3_bind_blob64(stmt_, index, data, bytes.size(), SQLITE_TRANSIENT) != SQLITE_OK) {
        Fail("cannot bind parameter");
    }
    return *this;
}

SqliteStatement& SqliteStatement::BindNull(int index) {
    if (sqlite3_bind_null(stmt_, index) != SQLITE_OK) {
        Fail("cannot bind parameter");
    }
    return *this;
}

bool SqliteStatement::Step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) {
        return true;
    }
    if (rc == SQLITE_DONE) {
        return false;
    }
    sqlite3_reset(stmt_);
    Fail("statement failed");
}

void SqliteStatement::Run() {
    const int rc = sqlite3_step(stmt_);
    if (rc != SQLITE_DONE && rc != SQLITE_ROW) {
        sqlite3_reset(stmt_);
        Fail("statement failed");
    }
    sqlite3_reset(stmt_);
}

void SqliteStatement::Reset() {
    sqlite3_reset(stmt_);
}

std::int64_t SqliteStatement::ColumnInt(int column) const {
    return sqlite3_column_int64(stmt_, column);
}

bool SqliteStatement::ColumnIsNull(int column) const {
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

std::string SqliteStatement::ColumnText(int column) const {
    const auto* text = sqlite3_column_text(stmt_, column);
    const int size = sqlite3_column_bytes(stmt_, column);
    return text != nullptr ? std::string(reinterpret_cast<const char*>(text), size) : std::string();
}

std::string SqliteStatement::ColumnBlob(int column) const {
    const auto* data = static_cast<const char*>(sqlite3_column_blob(stmt_, column));
    const int size = sqlite3_column_bytes(stmt_, column);
    return data != nullptr ? std::string(data, size) : std::string();
}

// ---- TSQLiteDatabase ------------------------------------------------------------------------

TSQLiteDatabase::TSQLiteDatabase(const std::filesystem::path& file) : file_(file) {
    const int rc =
        sqlite3_open_v2(file.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
        std::string text = "cannot open database " + file.string() + ": ";
        text += db_ != nullptr ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
        sqlite3_close(db_);
        db_ = nullptr;
        throw SqliteError(text);
    }
    sqlite3_extended_result_codes(db_, 1);
    // A file that exists but is no database is found here rather than at the first write.
    Execute("PRAGMA encoding = 'UTF-8'; SELECT count(*) FROM sqlite_master;");
}

TSQLiteDatabase::~TSQLiteDatabase() {
    // Closing with an open transaction rolls it back; statements are finalised by their owners.
    sqlite3_close_v2(db_);
}

bool TSQLiteDatabase::TableExists(std::string_view name) {
    auto query = Prepare("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?");
    query.BindText(1, name);
    return query.Step();
}

void TSQLiteDatabase::Execute(std::string_view sql) {
    const std::string text(sql);
    char* message = nullptr;
    if (sqlite3_exec(db_, text.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        std::string error = "statement failed (" + text.substr(0, 200) + "): ";
        error += message != nullptr ? message : sqlite3_errmsg(db_);
        sqlite3_free(message);
        throw SqliteError(error);
    }
}

SqliteStatement TSQLiteDatabase::Prepare(std::string_view sql) {
    return SqliteStatement(db_, sql);
}

void TSQLiteDatabase::BeginTransaction() {
    Execute("BEGIN TRANSACTION");
}

void TSQLiteDatabase::Commit() {
    Execute("COMMIT");
}

void TSQLiteDatabase::Rollback() {
    if (InTransaction()) {
        Execute("ROLLBACK");
    }
}

bool TSQLiteDatabase::InTransaction() const {
    return sqlite3_get_autocommit(db_) == 0;
}

// ---- SqliteTransaction ---------------------------------------------------------------------

SqliteTransaction::SqliteTransaction(TSQLiteDatabase& db) : db_(db) {
    db_.BeginTransaction();
}

SqliteTransaction::~SqliteTransaction() {
    if (open_) {
        try {
            db_.Rollback();
        } catch (const SqliteError&) {
            // Nothing more can be done here; SQLite rolls back when the connection closes.
        }
    }
}

void SqliteTransaction::Commit() {
    db_.Commit();
    open_ = false;
}

}  // namespace engine
