// An Xvfb for as long as the object lives. It picks a free display number itself and tells it
// through a pipe once it is ready, so parallel test processes never share one.
#pragma once

#include <sys/types.h>

#include <string>

namespace testing_support {

class VirtualXServer {
public:
    VirtualXServer();
    ~VirtualXServer();
    VirtualXServer(const VirtualXServer&) = delete;
    VirtualXServer& operator=(const VirtualXServer&) = delete;

    bool Up() const { return pid_ > 0; }
    const char* Name() const { return name_.c_str(); }  // ":N"

private:
    void Stop();
    std::string name_;
    pid_t pid_ = -1;
};

}  // namespace testing_support
