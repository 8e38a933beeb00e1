#include "tests/support/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

#include "platform/os/files.h"

namespace testing_support {

TempDir::TempDir() {
    std::string tmpl = os::TempDir() + "tessary-test-XXXXXX";
    if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
    path_ = tmpl + "/";
}

TempDir::~TempDir() {
    std::error_code ec;
    // Read-only folders made by tests must not stop the clean-up.
    for (auto& e : std::filesystem::recursive_directory_iterator(path_, ec))
        std::filesystem::permissions(e.path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
}

ScopedEnv::ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) {
        had_ = true;
        old_ = old;
    }
    setenv(name, value.c_str(), 1);
}

ScopedEnv::~ScopedEnv() {
    if (had_)
        setenv(name_.c_str(), old_.c_str(), 1);
    else
        unsetenv(name_.c_str());
}

std::string TestDataDir() {
    const char* dir = std::getenv("TESSARY_TEST_DATA");
    return os::IncludeTrailingSlash(dir && *dir ? dir : TESSARY_SOURCE_DIR "/tests/data");
}

std::vector<std::string> FuzzInputs(const std::string& layer, const std::string& target) {
    std::vector<std::string> files;
    for (const std::string& folder : {target, target + "_seeds"}) {
        std::error_code ec;
        for (const auto& e :
             std::filesystem::directory_iterator(TestDataDir() + layer + "/fuzz/" + folder, ec))
            if (e.path().filename().string()[0] != '.') files.push_back(e.path().string());
    }
    return files;
}

void WriteFile(const std::string& path, const std::string& data) {
    std::ofstream f(path, std::ios::binary);
    f << data;
}

void WriteNotingOpener(const std::string& path, const std::string& noted) {
    WriteFile(path, "#!/bin/sh\nprintf '%s' \"$1\" > \"" + noted + ".tmp\" && mv \"" + noted +
                        ".tmp\" \"" + noted + "\"\n");
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
}

std::string WaitForFile(const std::string& path) {
    for (int i = 0; i < 6000 && !os::FileExists(path); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return os::ReadWholeFile(path).value_or("");
}

}  // namespace testing_support
