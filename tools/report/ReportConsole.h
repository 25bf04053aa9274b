#pragma once

#include <string>
#include <vector>

#include "ReportCommand.h"

namespace ovin::report {

/// The command line as UTF-8, without the program's name.
std::vector<std::string> programArguments(int argc, char** argv);

/// The process's standard output and error output. On a console window the
/// texts show with their Czech letters; redirected, they are UTF-8.
class StdConsole final : public Console {
public:
    void out(std::string_view text) override;
    void err(std::string_view text) override;
};

}  // namespace ovin::report
