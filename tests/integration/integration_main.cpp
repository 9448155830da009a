#include "integration_env.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace {
std::string g_configHome;
std::string g_runtimeDir;

std::string makeTempDir(const char* what) {
    std::string pattern = std::string("/tmp/pimbolet-it-") + what + "-XXXXXX";
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    return pattern;
}
} // namespace

const std::string& itest::configHome() {
    return g_configHome;
}
const std::string& itest::runtimeDir() {
    return g_runtimeDir;
}

// The real services read where they keep things from the environment once, at their first
// use: point them at private folders before anything else runs.
int main(int argc, char** argv) {
    g_configHome = makeTempDir("config");
    g_runtimeDir = makeTempDir("runtime");
    setenv("XDG_CONFIG_HOME", g_configHome.c_str(), 1);
    setenv("XDG_RUNTIME_DIR", g_runtimeDir.c_str(), 1);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int rc = RUN_ALL_TESTS();
    std::error_code ec;
    std::filesystem::remove_all(g_configHome, ec);
    std::filesystem::remove_all(g_runtimeDir, ec);
    return rc;
}
