#include "tools/report/ReportConsole.h"

#include <cstdio>

namespace ovin::report {

std::vector<std::string> programArguments(int argc, char** argv) { return {argv + (argc > 0 ? 1 : 0), argv + argc}; }

void StdConsole::out(std::string_view text) { std::fwrite(text.data(), 1, text.size(), stdout); }

void StdConsole::err(std::string_view text) { std::fwrite(text.data(), 1, text.size(), stderr); }

}  // namespace ovin::report
