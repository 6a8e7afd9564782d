// A View that keeps every call it receives, in order, as one line of text.
#pragma once

#include "solver.h"

#include <string>
#include <vector>

namespace vexlo::test {

class RecordingView : public View {
public:
    void addSolution(std::string text) override
    {
        calls.push_back("addSolution " + text);
        solutions.push_back(std::move(text));
    }
    void clearSolutions() override
    {
        calls.push_back("clearSolutions");
        solutions.clear();
    }
    void setNearest(std::uint64_t below, std::uint64_t above) override
    {
        calls.push_back("setNearest " + std::to_string(below) + " " + std::to_string(above));
        nearestBelow = below;
        nearestAbove = above;
    }

    std::vector<std::string> calls;
    std::vector<std::string> solutions;
    std::uint64_t nearestBelow { 0 };
    std::uint64_t nearestAbove { 0 };
};

}
