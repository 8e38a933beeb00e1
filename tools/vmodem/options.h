// The vmodem program's command line.
#pragma once

#include <string>
#include <vector>

#include "tools/vmodem/engine.h"

namespace vmodem {

struct ProgramOptions {
    Options modem;
    std::string link;  // a symbolic link to the terminal, made at start and removed at exit
    bool verbose = false;
    bool help = false;
};

// Reads the arguments (without the program name). False with `error` for anything it does not
// understand.
bool ParseOptions(const std::vector<std::string>& args, ProgramOptions& out, std::string& error);

const char* UsageText();

}  // namespace vmodem
