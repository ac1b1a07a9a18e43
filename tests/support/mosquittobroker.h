#pragma once
// A real mosquitto broker on 127.0.0.1 at a free port, for the end-to-end
// tests of what stations publish: started from a minimal configuration in
// its own folder, stopped and started again on the same port (a broker that
// goes away and comes back, keeping its retained messages and lasting
// sessions as a broker with persistence does). available() is false where
// mosquitto is not installed; tests then skip.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "tests/support/tempfolder.h"
#include "tests/support/waitfor.h"

namespace velmora::testkit {

class MosquittoBroker {
  public:
    static constexpr const char* kSkipReason =
        "mosquitto is not installed (scripts/install-deps.sh installs it)";

    MosquittoBroker() : m_folder("broker"), m_port(FreePort()) {
        m_folder.write("mosquitto.conf", "listener " + std::to_string(m_port) +
                                             " 127.0.0.1\nallow_anonymous true\n"
                                             "persistence true\npersistence_location " +
                                             m_folder.path().string() + "/\nlog_dest none\n" +
                                             ThisUser());
    }
    ~MosquittoBroker() { stop(); }
    MosquittoBroker(const MosquittoBroker&) = delete;
    MosquittoBroker& operator=(const MosquittoBroker&) = delete;

    [[nodiscard]] static std::string program() {
        for (const char* path : {"/usr/sbin/mosquitto", "/usr/bin/mosquitto"})
            if (::access(path, X_OK) == 0) return path;
        return {};
    }
    [[nodiscard]] static bool available() { return !program().empty(); }
    [[nodiscard]] std::string url() const { return "mqtt://127.0.0.1:" + std::to_string(m_port); }

    // Starts it and waits until it takes connections; false when it does not.
    bool start() {
        stop();
        const std::string exe = program();
        const std::string config = (m_folder / "mosquitto.conf").string();
        m_pid = ::fork();
        if (m_pid == 0) {
            // Its word before the configuration silences it (a root warning).
            const int quiet = ::open("/dev/null", O_WRONLY);
            ::dup2(quiet, 1);
            ::dup2(quiet, 2);
            ::execl(exe.c_str(), exe.c_str(), "-c", config.c_str(), nullptr);
            ::_exit(127);
        }
        return WaitFor([this] { return accepts(); }, 5000);
    }
    void stop() {
        if (m_pid <= 0) return;
        ::kill(m_pid, SIGTERM);
        ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }

  private:
    // Started by root, mosquitto would turn into user "mosquitto", who may
    // not write the folder: it stays who started it.
    static std::string ThisUser() {
        const passwd* user = ::getpwuid(::getuid());
        return user != nullptr ? "user " + std::string(user->pw_name) + "\n" : std::string();
    }
    static int FreePort() {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        ::bind(fd, reinterpret_cast<sockaddr*>(&address), size);
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
        ::close(fd);
        return ntohs(address.sin_port);
    }
    [[nodiscard]] bool accepts() const {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(m_port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        ::close(fd);
        return ok;
    }

    TempFolder m_folder;
    int m_port;
    pid_t m_pid = -1;
};

}  // namespace velmora::testkit
