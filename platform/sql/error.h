// The one exception of the database engine: the engine's message (UTF-8) and its result code.
#pragma once

#include <stdexcept>
#include <string>

namespace sql {

class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message, int code = 1)
        : std::runtime_error(message), code_(code) {}
    int Code() const { return code_; }  // an SQLite result code; 1 (SQLITE_ERROR) for our own

private:
    int code_;
};

}  // namespace sql
