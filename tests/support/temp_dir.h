// A fresh folder for one test, removed with everything in it when the test ends.
#pragma once

#include <string>
#include <vector>

namespace testing_support {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }  // with the trailing "/"
    std::string operator/(const std::string& name) const { return path_ + name; }

private:
    std::string path_;
};

// Sets an environment variable for the lifetime of the guard.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value);
    ~ScopedEnv();

private:
    std::string name_;
    bool had_ = false;
    std::string old_;
};

// The folder of the project's own test data (tests/data).
std::string TestDataDir();

// The inputs a fuzz target of `layer` started from and once failed on: the files of
// tests/data/<layer>/fuzz/<target>_seeds and .../<target>.
std::vector<std::string> FuzzInputs(const std::string& layer, const std::string& target);

void WriteFile(const std::string& path, const std::string& data);

// An executable script at `path` standing in for a document opener: it notes its first argument
// in the file `noted`, written aside and renamed, so a reader never meets it half-written.
void WriteNotingOpener(const std::string& path, const std::string& noted);

// What a detached process wrote to `path`, once the file is there; "" when it has not come after
// a minute (a hang guard, far beyond any machine's pace).
std::string WaitForFile(const std::string& path);

}  // namespace testing_support
