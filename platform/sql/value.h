// One value as the database holds it: null, a 64-bit integer, a real number or text (UTF-8).
// Blobs read as text: the program stores only text in its memo and blob columns.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace sql {

class Value {
public:
    enum class Type { Null, Integer, Real, Text };

    Value() = default;
    Value(std::nullptr_t) {}
    Value(int64_t v) : v_(v) {}
    Value(int v) : v_(static_cast<int64_t>(v)) {}
    Value(double v) : v_(v) {}
    Value(std::string v) : v_(std::move(v)) {}
    Value(const char* v) : v_(std::string(v)) {}

    Type type() const { return static_cast<Type>(v_.index()); }
    bool IsNull() const { return v_.index() == 0; }
    int64_t Integer() const { return std::get<int64_t>(v_); }
    double Real() const { return std::get<double>(v_); }
    const std::string& Text() const { return std::get<std::string>(v_); }

    bool operator==(const Value&) const = default;

private:
    std::variant<std::monostate, int64_t, double, std::string> v_;
};

}  // namespace sql
