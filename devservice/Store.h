#pragma once

#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

struct sqlite3;

namespace sarndev {

class StoreError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct Account {
    int32_t id = 0;
    std::string loginName, password, mobile, email, provinces, city, created;
};

struct OnlineUser {
    std::string name;
    std::string address;
    uint16_t port = 0;
    std::string seen;  // "YYYY-MM-DD HH:MM:SS", local time
};

struct SessionEvent {
    std::string kind;  // "login" or "logout"
    int32_t customerId = 0;
    std::string ip;      // what the client reported
    std::string remote;  // where the report came from
    std::string time;
};

struct Publication {
    std::string version;
    std::filesystem::path file;  // empty when none
};

// The service's data: one SQLite database in the data directory, shared by the running service
// and the administration commands. Every write is its own committed transaction (WAL mode), so
// a stop at any moment loses nothing that was answered.
class Store {
  public:
    explicit Store(const std::filesystem::path& dataDir);
    ~Store();
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    const std::filesystem::path& DataDir() const { return dir_; }

    // A new positive id, or -1 / -2 / -3 when the name / mobile / e-mail is taken.
    int32_t Register(const Account& account);
    // The id, or -1.
    int32_t Login(const std::string& loginName, const std::string& password);
    std::optional<Account> FindAccount(const std::string& loginName);
    std::optional<Account> FindAccount(int32_t id);
    std::vector<Account> Accounts();

    void RecordEvent(const SessionEvent& event);
    std::vector<SessionEvent> Events();

    void SetOnline(const OnlineUser& user);
    void SetOffline(const std::string& name);
    std::optional<OnlineUser> FindOnline(const std::string& name);
    std::vector<OnlineUser> OnlineUsers();

    // The notice text in UTF-8; nothing when none was ever set.
    std::optional<std::string> Notice();
    void SetNotice(const std::string& text);

    Publication Published();
    // Copies the file into the data directory first, so the published image stays as it was.
    void Publish(const std::string& version, const std::filesystem::path& file);

  private:
    void Exec(const char* sql);
    std::optional<std::string> Setting(const char* key);
    void SetSetting(const char* key, const std::string& value);

    std::filesystem::path dir_;
    sqlite3* db_ = nullptr;
    std::mutex mutex_;
};

// The local time as "YYYY-MM-DD HH:MM:SS".
std::string NowText();

}  // namespace sarndev
