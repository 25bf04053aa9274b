// ovin-report: how often the router stalled, crashed and was down, per day
// and per machine, from the watchdog's month logs.

#include "ReportCommand.h"
#include "ReportConsole.h"
#include "platform/Platform.h"

int main(int argc, char** argv)
{
    const auto files = ovin::createFileSystem();
    ovin::report::StdConsole console;
    return ovin::report::runReport(ovin::report::programArguments(argc, argv), *files, console);
}
