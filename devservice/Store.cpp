#include "devservice/Store.h"

#include <sqlite3.h>

#include <chrono>
#include <ctime>
#include <fstream>
#include <utility>

namespace sarndev {

namespace fs = std::filesystem;

namespace {

// One prepared statement, bound by position and stepped row by row.
class Statement {
  public:
    Statement(sqlite3* db, const char* sql) : db_(db) {
        if (sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK) {
            throw StoreError(std::string("SQL error: ") + sqlite3_errmsg(db));
        }
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    template <typename... Args>
    Statement& Bind(const Args&... args) {
        int i = 0;
        (BindOne(++i, args), ...);
        return *this;
    }
    // True while there is a row.
    bool Step() {
        int rc = sqlite3_step(stmt_);
        if (rc == SQLITE_ROW)
            return true;
        if (rc == SQLITE_DONE)
            return false;
        throw StoreError(std::string("SQL error: ") + sqlite3_errmsg(db_));
    }
    std::string Text(int col) const {
        const auto* p = sqlite3_column_text(stmt_, col);
        return p ? std::string(reinterpret_cast<const char*>(p),
                               static_cast<size_t>(sqlite3_column_bytes(stmt_, col)))
                 : std::string();
    }
    int64_t Int(int col) const { return sqlite3_column_int64(stmt_, col); }
    bool IsNull(int col) const { return sqlite3_column_type(stmt_, col) == SQLITE_NULL; }

  private:
    void BindOne(int i, const std::string& v) {
        sqlite3_bind_text(stmt_, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
    }
    void BindOne(int i, const char* v) { sqlite3_bind_text(stmt_, i, v, -1, SQLITE_TRANSIENT); }
    void BindOne(int i, int64_t v) { sqlite3_bind_int64(stmt_, i, v); }
    void BindOne(int i, int32_t v) { sqlite3_bind_int64(stmt_, i, v); }
    void BindOne(int i, uint16_t v) { sqlite3_bind_int64(stmt_, i, v); }

    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

Account ReadAccount(const Statement& s) {
    Account a;
    a.id = static_cast<int32_t>(s.Int(0));
    a.loginName = s.Text(1);
    a.password = s.Text(2);
    a.mobile = s.Text(3);
    a.email = s.Text(4);
    a.provinces = s.Text(5);
    a.city = s.Text(6);
    a.created = s.Text(7);
    return a;
}

constexpr const char* kAccountColumns =
    "SELECT id, login_name, password, mobile, email, provinces, city, created FROM accounts ";

}  // namespace

std::string NowText() {
    std::time_t t = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm tm{};
    localtime_r(&t, &tm);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &tm);
    return text;
}

Store::Store(const fs::path& dataDir) : dir_(dataDir) {
    std::error_code ec;
    fs::create_directories(dir_, ec);
    if (ec) {
        throw StoreError("cannot create the data directory " + dir_.string() + ": " + ec.message());
    }
    fs::path file = dir_ / "sarn-service.db";
    if (sqlite3_open_v2(file.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
        std::string message = db_ ? sqlite3_errmsg(db_) : "out of memory";
        sqlite3_close(db_);
        throw StoreError("cannot open " + file.string() + ": " + message);
    }
    // The service and an administration command may write at the same moment.
    sqlite3_busy_timeout(db_, 5000);
    Exec("PRAGMA journal_mode=WAL");
    Exec("PRAGMA synchronous=FULL");
    Exec(
        "CREATE TABLE IF NOT EXISTS accounts ("
        " id INTEGER PRIMARY KEY AUTOINCREMENT, login_name TEXT NOT NULL UNIQUE,"
        " password TEXT NOT NULL, mobile TEXT NOT NULL, email TEXT NOT NULL,"
        " provinces TEXT NOT NULL, city TEXT NOT NULL, created TEXT NOT NULL)");
    Exec(
        "CREATE TABLE IF NOT EXISTS events ("
        " seq INTEGER PRIMARY KEY AUTOINCREMENT, kind TEXT NOT NULL, customer_id INTEGER,"
        " ip TEXT NOT NULL, remote TEXT NOT NULL, time TEXT NOT NULL)");
    Exec(
        "CREATE TABLE IF NOT EXISTS online ("
        " name TEXT PRIMARY KEY, address TEXT NOT NULL, port INTEGER NOT NULL, seen TEXT NOT "
        "NULL)");
    Exec("CREATE TABLE IF NOT EXISTS settings (key TEXT PRIMARY KEY, value TEXT)");
}

Store::~Store() {
    sqlite3_close(db_);
}

void Store::Exec(const char* sql) {
    char* error = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        std::string message = error ? error : "unknown";
        sqlite3_free(error);
        throw StoreError("SQL error: " + message);
    }
}

int32_t Store::Register(const Account& a) {
    std::lock_guard lock(mutex_);
    // IMMEDIATE takes the write lock first, so two registrations cannot both find a name free.
    Exec("BEGIN IMMEDIATE");
    try {
        auto taken = [&](const char* sql, const std::string& value) {
            return Statement(db_, sql).Bind(value).Step();
        };
        int32_t result = 0;
        if (taken("SELECT 1 FROM accounts WHERE login_name = ?", a.loginName)) {
            result = -1;
        } else if (!a.mobile.empty() &&
                   taken("SELECT 1 FROM accounts WHERE mobile = ?", a.mobile)) {
            result = -2;
        } else if (!a.email.empty() && taken("SELECT 1 FROM accounts WHERE email = ?", a.email)) {
            result = -3;
        } else {
            Statement(db_,
                      "INSERT INTO accounts (login_name, password, mobile, email, provinces, city,"
                      " created) VALUES (?, ?, ?, ?, ?, ?, ?)")
                .Bind(a.loginName, a.password, a.mobile, a.email, a.provinces, a.city, NowText())
                .Step();
            result = static_cast<int32_t>(sqlite3_last_insert_rowid(db_));
        }
        Exec("COMMIT");
        return result;
    } catch (...) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

int32_t Store::Login(const std::string& loginName, const std::string& password) {
    std::lock_guard lock(mutex_);
    Statement s(db_, "SELECT id FROM accounts WHERE login_name = ? AND password = ?");
    s.Bind(loginName, password);
    return s.Step() ? static_cast<int32_t>(s.Int(0)) : -1;
}

std::optional<Account> Store::FindAccount(const std::string& loginName) {
    std::lock_guard lock(mutex_);
    Statement s(db_, (std::string(kAccountColumns) + "WHERE login_name = ?").c_str());
    s.Bind(loginName);
    if (!s.Step())
        return std::nullopt;
    return ReadAccount(s);
}

std::optional<Account> Store::FindAccount(int32_t id) {
    std::lock_guard lock(mutex_);
    Statement s(db_, (std::string(kAccountColumns) + "WHERE id = ?").c_str());
    s.Bind(id);
    if (!s.Step())
        return std::nullopt;
    return ReadAccount(s);
}

std::vector<Account> Store::Accounts() {
    std::lock_guard lock(mutex_);
    Statement s(db_, (std::string(kAccountColumns) + "ORDER BY id").c_str());
    std::vector<Account> all;
    while (s.Step())
        all.push_back(ReadAccount(s));
    return all;
}

void Store::RecordEvent(const SessionEvent& e) {
    std::lock_guard lock(mutex_);
    Statement(db_,
              "INSERT INTO events (kind, customer_id, ip, remote, time) VALUES (?, ?, ?, ?, ?)")
        .Bind(e.kind, e.customerId, e.ip, e.remote, e.time)
        .Step();
}

std::vector<SessionEvent> Store::Events() {
    std::lock_guard lock(mutex_);
    Statement s(db_, "SELECT kind, customer_id, ip, remote, time FROM events ORDER BY seq");
    std::vector<SessionEvent> all;
    while (s.Step()) {
        all.push_back({s.Text(0), static_cast<int32_t>(s.Int(1)), s.Text(2), s.Text(3), s.Text(4)});
    }
    return all;
}

void Store::SetOnline(const OnlineUser& u) {
    std::lock_guard lock(mutex_);
    Statement(db_, "INSERT OR REPLACE INTO online (name, address, port, seen) VALUES (?, ?, ?, ?)")
        .Bind(u.name, u.address, u.port, u.seen)
        .Step();
}

void Store::SetOffline(const std::string& name) {
    std::lock_guard lock(mutex_);
    Statement(db_, "DELETE FROM online WHERE name = ?").Bind(name).Step();
}

std::optional<OnlineUser> Store::FindOnline(const std::string& name) {
    std::lock_guard lock(mutex_);
    Statement s(db_, "SELECT name, address, port, seen FROM online WHERE name = ?");
    s.Bind(name);
    if (!s.Step())
        return std::nullopt;
    return OnlineUser{s.Text(0), s.Text(1), static_cast<uint16_t>(s.Int(2)), s.Text(3)};
}

std::vector<OnlineUser> Store::OnlineUsers() {
    std::lock_guard lock(mutex_);
    Statement s(db_, "SELECT name, address, port, seen FROM online ORDER BY name");
    std::vector<OnlineUser> all;
    while (s.Step()) {
        all.push_back({s.Text(0), s.Text(1), static_cast<uint16_t>(s.Int(2)), s.Text(3)});
    }
    return all;
}

std::optional<std::string> Store::Setting(const char* key) {
    std::lock_guard lock(mutex_);
    Statement s(db_, "SELECT value FROM settings WHERE key = ?");
    s.Bind(key);
    if (!s.Step() || s.IsNull(0))
        return std::nullopt;
    return s.Text(0);
}

void Store::SetSetting(const char* key, const std::string& value) {
    std::lock_guard lock(mutex_);
    Statement(db_, "INSERT OR REPLACE INTO settings (key, value) VALUES (?, ?)")
        .Bind(key, value)
        .Step();
}

std::optional<std::string> Store::Notice() {
    return Setting("notice");
}

void Store::SetNotice(const std::string& text) {
    SetSetting("notice", text);
}

Publication Store::Published() {
    Publication p;
    p.version = Setting("version").value_or("");
    if (auto file = Setting("update_file"); file && !file->empty()) {
        p.file = *file;
    }
    return p;
}

void Store::Publish(const std::string& version, const fs::path& file) {
    if (!fs::is_regular_file(file)) {
        throw StoreError("not a readable file: " + file.string());
    }
    // A new name for every publication: a reply still streaming the previous image keeps its
    // open file, and the rename makes the new one appear complete or not at all.
    fs::path target =
        dir_ /
        ("update-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) +
         ".bin");
    fs::path partial = target;
    partial += ".part";
    std::error_code ec;
    fs::copy_file(file, partial, fs::copy_options::overwrite_existing, ec);
    if (ec) {
        throw StoreError("cannot copy " + file.string() + ": " + ec.message());
    }
    fs::rename(partial, target, ec);
    if (ec) {
        throw StoreError("cannot store the image: " + ec.message());
    }
    fs::path previous = Published().file;
    {
        std::lock_guard lock(mutex_);
        Exec("BEGIN IMMEDIATE");
        try {
            Statement(db_, "INSERT OR REPLACE INTO settings (key, value) VALUES ('version', ?)")
                .Bind(version)
                .Step();
            Statement(db_, "INSERT OR REPLACE INTO settings (key, value) VALUES ('update_file', ?)")
                .Bind(target.string())
                .Step();
            Exec("COMMIT");
        } catch (...) {
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
            throw;
        }
    }
    if (!previous.empty() && previous != target) {
        fs::remove(previous, ec);  // an open reply keeps reading its unlinked file
    }
}

}  // namespace sarndev
