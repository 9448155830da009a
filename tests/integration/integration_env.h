#pragma once

#include <csignal>
#include <string>
#include <sys/resource.h>

// Private folders made for this test run before the application object.
namespace itest {
const std::string& configHome(); // $XDG_CONFIG_HOME
const std::string& runtimeDir(); // $XDG_RUNTIME_DIR

// While it lives, writes past `bytes` into any file fail as on a full disk, also for root.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lim = m_old;
        lim.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lim);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};
} // namespace itest
