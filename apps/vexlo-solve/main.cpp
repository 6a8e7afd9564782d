// Entry of vexlo-solve: Ctrl+C stops the search and still prints its results.
#include "solve_cli.h"

#include <csignal>
#include <iostream>
#include <vector>

namespace {

extern "C" void onInterrupt(int)
{
    vexlo::stopSolveCommand();
}

}

int main(int argc, char** argv)
{
    std::signal(SIGINT, onInterrupt);
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    return vexlo::runSolveCommand(args, std::cout, std::cerr);
}
