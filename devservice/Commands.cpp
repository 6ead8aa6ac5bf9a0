#include "devservice/Commands.h"

#include "devservice/HelloListener.h"
#include "devservice/HttpFront.h"
#include "devservice/Store.h"
#include "devservice/Text.h"
#include "platform/net/BlockingUdpSocket.h"
#include "platform/net/HomeDirectory.h"
#include "platform/net/StopSignals.h"

#include <openssl/evp.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace sarndev {

namespace fs = std::filesystem;

namespace {

constexpr const char* kUsage =
    "usage: sarn-service serve [--listen ADDR:PORT] [--udp-port N] [--data DIR]\n"
    "                          [--ready-file PATH] [--stall-after-bytes N]\n"
    "       sarn-service push USER TITLE BODY [TIME] [--data DIR]\n"
    "       sarn-service notice TEXT [--data DIR]\n"
    "       sarn-service publish VERSION FILE [--data DIR]\n"
    "       sarn-service adduser NAME PASSWORD [--data DIR]\n"
    "       sarn-service users [--data DIR]\n"
    "       sarn-service events [--data DIR]\n";

class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct Arguments {
    std::string command;
    std::vector<std::string> positional;
    std::map<std::string, std::string> options;
};

Arguments Parse(int argc, char** argv,
                const std::map<std::string, std::vector<std::string>>& allowed) {
    if (argc < 2)
        throw UsageError("no command given");
    Arguments args;
    args.command = argv[1];
    auto it = allowed.find(args.command);
    if (it == allowed.end())
        throw UsageError("unknown command '" + args.command + "'");
    for (int i = 2; i < argc; ++i) {
        std::string a = argv[i];
        if (a.rfind("--", 0) == 0 && a.size() > 2) {
            std::string name = a.substr(2);
            std::string value;
            if (auto eq = name.find('='); eq != std::string::npos) {
                value = name.substr(eq + 1);
                name = name.substr(0, eq);
            } else if (i + 1 < argc) {
                value = argv[++i];
            } else {
                throw UsageError("option --" + name + " needs a value");
            }
            if (std::find(it->second.begin(), it->second.end(), name) == it->second.end()) {
                throw UsageError("unknown option --" + name + " for " + args.command);
            }
            args.options[name] = value;
        } else {
            args.positional.push_back(a);
        }
    }
    return args;
}

void ExpectPositional(const Arguments& args, size_t least, size_t most) {
    if (args.positional.size() < least || args.positional.size() > most) {
        throw UsageError("wrong number of arguments for " + args.command);
    }
}

unsigned long Number(const std::string& text, const std::string& what, unsigned long max) {
    size_t used = 0;
    unsigned long v = 0;
    try {
        v = std::stoul(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != text.size() || v > max || text[0] == '-') {
        throw UsageError("bad " + what + " '" + text + "'");
    }
    return v;
}

// $XDG_DATA_HOME when it is absolute, else ~/.local/share, the home taken from $HOME, else from
// the account's entry, else /tmp.
std::string UserDataHome() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/') {
        return xdg;
    }
    std::string base;
    if (const char* home = std::getenv("HOME"); home && *home) {
        base = home;
    } else {
        base = sarn::net::AccountHomeDirectory().value_or("/tmp");
    }
    return base + "/.local/share";
}

fs::path DataDir(const Arguments& args) {
    auto it = args.options.find("data");
    if (it != args.options.end()) {
        if (it->second.empty())
            throw UsageError("empty --data");
        return it->second;
    }
    return fs::path(UserDataHome()) / "sarn-service";
}

std::string PasswordDigest(const std::string& passwordUtf8) {
    std::string bytes = Utf8ToGbk(passwordUtf8);
    unsigned char md[EVP_MAX_MD_SIZE];
    unsigned int len = 0;
    EVP_Digest(bytes.data(), bytes.size(), md, &len, EVP_md5(), nullptr);
    static const char* hex = "0123456789abcdef";
    std::string text;
    for (unsigned i = 0; i < len; ++i) {
        text += hex[md[i] >> 4];
        text += hex[md[i] & 15];
    }
    return text.substr(8, 16);
}

void WriteReadyFile(const std::string& path, const std::string& content) {
    std::string partial = path + ".part";
    {
        std::ofstream out(partial, std::ios::trunc);
        out << content;
        if (!out)
            throw std::runtime_error("cannot write " + partial);
    }
    fs::rename(partial, path);
}

int Serve(const Arguments& args) {
    ExpectPositional(args, 0, 0);
    std::string listen =
        args.options.count("listen") ? args.options.at("listen") : "127.0.0.1:8088";
    auto colon = listen.rfind(':');
    if (colon == std::string::npos || colon == 0)
        throw UsageError("bad --listen '" + listen + "'");
    std::string address = listen.substr(0, colon);
    int port = static_cast<int>(Number(listen.substr(colon + 1), "port", 65535));
    uint16_t udpPort = 16888;
    if (args.options.count("udp-port")) {
        udpPort = static_cast<uint16_t>(Number(args.options.at("udp-port"), "UDP port", 65535));
    }
    HttpOptions options;
    if (args.options.count("stall-after-bytes")) {
        options.stallAfterBytes = Number(args.options.at("stall-after-bytes"), "byte count", ~0ul);
    }

    sarn::net::BlockStopSignals();   // before any thread starts, so all of them inherit the mask
    sarn::net::IgnoreBrokenPipes();  // a client that goes away mid-reply must not kill the service
    Store store(DataDir(args));
    sarn::net::BlockingUdpSocket udp(address, udpPort);
    HttpFront http(store, options);
    port = http.Bind(address, port);
    HelloListener hellos(udp, store);
    std::promise<void> served;
    std::future<void> servedFuture = served.get_future();
    std::thread server([&] {
        http.Serve();
        served.set_value();
    });

    std::cout << "sarn-service: serving http://" << address << ":" << port
              << "/SarnWebService/sarn.asmx, UDP port " << udp.LocalPort() << ", data in "
              << store.DataDir().string() << std::endl;
    if (args.options.count("ready-file")) {
        WriteReadyFile(args.options.at("ready-file"),
                       "http=" + address + ":" + std::to_string(port) +
                           "\nudp=" + std::to_string(udp.LocalPort()) + "\n");
    }
    int sig = sarn::net::WaitForStopSignal();
    std::cout << "sarn-service: stopping (signal " << sig << ")" << std::endl;
    http.Stop();
    // The HTTP library waits for idle kept-alive connections to time out before it returns. Every
    // write is committed when it is answered, so after a short grace nothing is lost by leaving
    // without them.
    if (servedFuture.wait_for(std::chrono::seconds(1)) != std::future_status::ready) {
        std::cout << "sarn-service: stopped (idle connections dropped)" << std::endl;
        std::_Exit(0);
    }
    server.join();
    return 0;
}

int Push(const Arguments& args) {
    ExpectPositional(args, 3, 4);
    Store store(DataDir(args));
    const auto& p = args.positional;
    auto user = store.FindOnline(p[0]);
    if (!user) {
        std::cerr << "sarn-service: " << p[0] << " has not said hello\n";
        return 1;
    }
    std::string text = Utf8ToGbk(p[1] + "\r\n" + p[2] + "\r\n" + (p.size() > 3 ? p[3] : NowText()));
    if (text.size() > 8192) {
        std::cerr << "sarn-service: the notification is " << text.size()
                  << " bytes; the client drops anything over 8192\n";
        return 1;
    }
    sarn::net::BlockingUdpSocket socket("0.0.0.0", 0);
    socket.Send(text, user->address, user->port);
    std::cout << "sent " << text.size() << " bytes to " << user->address << ":" << user->port
              << "\n";
    return 0;
}

int Users(const Arguments& args) {
    ExpectPositional(args, 0, 0);
    Store store(DataDir(args));
    std::cout << "accounts:\n";
    for (const Account& a : store.Accounts()) {
        std::cout << "  " << a.id << "\t" << a.loginName << "\t" << a.mobile << "\t" << a.email
                  << "\t" << a.provinces << "\t" << a.city << "\t" << a.created << "\n";
    }
    std::cout << "online:\n";
    for (const OnlineUser& u : store.OnlineUsers()) {
        std::cout << "  " << u.name << "\t" << u.address << ":" << u.port << "\t" << u.seen << "\n";
    }
    return 0;
}

int Events(const Arguments& args) {
    ExpectPositional(args, 0, 0);
    Store store(DataDir(args));
    for (const SessionEvent& e : store.Events()) {
        std::cout << e.time << "\t" << e.kind << "\t" << e.customerId << "\t" << e.ip << "\t"
                  << e.remote << "\n";
    }
    return 0;
}

}  // namespace

int RunCommandLine(int argc, char** argv) {
    const std::map<std::string, std::vector<std::string>> allowed = {
        {"serve", {"listen", "udp-port", "data", "ready-file", "stall-after-bytes"}},
        {"push", {"data"}},
        {"notice", {"data"}},
        {"publish", {"data"}},
        {"adduser", {"data"}},
        {"users", {"data"}},
        {"events", {"data"}},
    };
    try {
        if (argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
            std::cout << kUsage;
            return 0;
        }
        Arguments args = Parse(argc, argv, allowed);
        if (args.command == "serve")
            return Serve(args);
        if (args.command == "push")
            return Push(args);
        if (args.command == "users")
            return Users(args);
        if (args.command == "events")
            return Events(args);
        if (args.command == "notice") {
            ExpectPositional(args, 1, 1);
            Store(DataDir(args)).SetNotice(args.positional[0]);
            return 0;
        }
        if (args.command == "publish") {
            ExpectPositional(args, 2, 2);
            Store(DataDir(args)).Publish(args.positional[0], args.positional[1]);
            return 0;
        }
        if (args.command == "adduser") {
            ExpectPositional(args, 2, 2);
            const auto& p = args.positional;
            int32_t id =
                Store(DataDir(args)).Register({0, p[0], PasswordDigest(p[1]), "", "", "", "", {}});
            if (id < 0) {
                std::cerr << "sarn-service: the name " << p[0] << " is taken\n";
                return 1;
            }
            std::cout << id << "\n";
            return 0;
        }
        throw UsageError("unknown command");
    } catch (const UsageError& e) {
        std::cerr << "sarn-service: " << e.what() << "\n" << kUsage;
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "sarn-service: " << e.what() << "\n";
        return 1;
    }
}

}  // namespace sarndev
