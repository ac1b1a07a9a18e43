#pragma once
// One of our programs run as a user starts it: pipes on its standard input
// and output, its standard error kept, signals sent to it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <string>
#include <vector>

namespace velmora::testkit {

class ChildProgram {
  public:
    ChildProgram(const std::string& program, std::vector<std::string> args) {
        int in[2];
        int out[2];
        if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0) return;
        m_pid = ::fork();
        if (m_pid == 0) {
            ::dup2(in[0], 0);
            ::dup2(out[1], 1);
            std::vector<char*> argv;
            argv.push_back(const_cast<char*>(program.c_str()));
            for (auto& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execv(program.c_str(), argv.data());
            ::_exit(127);
        }
        ::close(in[0]);
        ::close(out[1]);
        m_in = in[1];
        m_out = out[0];
    }
    ~ChildProgram() {
        closeInput();
        if (m_out >= 0) ::close(m_out);
        if (m_pid > 0) wait();
    }
    ChildProgram(const ChildProgram&) = delete;
    ChildProgram& operator=(const ChildProgram&) = delete;

    void say(const std::string& line) const {
        const std::string text = line + "\n";
        ASSERT_EQ(::write(m_in, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    }
    // The next line of standard output, "<timeout>" or "<eof>".
    std::string line(int timeoutMs = 3000) {
        for (;;) {
            if (auto nl = m_pending.find('\n'); nl != std::string::npos) {
                std::string l = m_pending.substr(0, nl);
                m_pending.erase(0, nl + 1);
                return l;
            }
            pollfd p{m_out, POLLIN, 0};
            if (::poll(&p, 1, timeoutMs) <= 0) return "<timeout>";
            char buf[256];
            const ssize_t n = ::read(m_out, buf, sizeof buf);
            if (n <= 0) return "<eof>";
            m_pending.append(buf, static_cast<std::size_t>(n));
        }
    }
    void closeInput() {
        if (m_in >= 0) ::close(m_in);
        m_in = -1;
    }
    void signal(int number) const {
        if (m_pid > 0) ::kill(m_pid, number);
    }
    // The exit status; -1 when the program died of a signal.
    int wait() {
        int status = 0;
        if (m_pid > 0 && ::waitpid(m_pid, &status, 0) == m_pid) m_pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

  private:
    pid_t m_pid = -1;
    int m_in = -1;
    int m_out = -1;
    std::string m_pending;
};

}  // namespace velmora::testkit
