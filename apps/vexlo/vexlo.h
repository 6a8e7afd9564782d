// The program: its entry point, the main dialog SolverWindow (puzzle entry,
// the solving run on a worker thread, random deals, copying solutions) and
// the About box.
#pragma once

#include "deal.h"
#include "solver.h"

#include <wivel/control.h>
#include <wivel/dialog.h>
#include <wivel/geometry.h>

#include <windows.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>

namespace vexlo {

inline constexpr const char* programTitle = "Tarvix Number Solver";
inline constexpr const char* inputMessage = "Please enter a positive integer.";

// A field of the main dialog whose text is not a positive whole number.
class InputException : public std::runtime_error {
public:
    explicit InputException(wivel::EditBox& editBox);

    wivel::EditBox& editBox;
};

class SolverWindow : public wivel::Dialog, public View {
public:
    explicit SolverWindow(wivel::Application& application, RandomSource random);
    ~SolverWindow() override;

    void onInitDialog() override;
    virtual LRESULT onSize(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void onExit(bool fromAccelerator, UINT id);
    virtual void onCopySolutions(bool fromAccelerator, UINT id);
    virtual void onRandomPuzzle(bool fromAccelerator, UINT id);
    virtual void onAbout(bool fromAccelerator, UINT id);
    virtual LRESULT onSolve(UINT code, UINT id, NMHDR* header);
    virtual int runSearch();
    virtual LRESULT onStop(UINT code, UINT id, NMHDR* header);
    virtual LRESULT onReset(UINT code, UINT id, NMHDR* header);
    void addSolution(std::string text) override;
    void clearSolutions() override;
    void setNearest(std::uint64_t below, std::uint64_t above) override;

    void onDestroy() override;

    // True from the start of a run until the dialog is idle again.
    bool isRunning() const { return running.load(); }

private:
    class RunGate;

    std::string trimField(wivel::EditBox& box);
    std::uint32_t fieldValue(const std::string& trimmed, wivel::EditBox& box);
    void enterRunningState();
    void leaveRunningState();
    void enableRunMenuItems(UINT flags);
    LRESULT onRunFailed(UINT message, WPARAM wParam, LPARAM lParam);
    void waitForWorker();

    std::unique_ptr<wivel::EditBox> targetBox;
    std::array<std::unique_ptr<wivel::EditBox>, 6> numberBoxes;
    std::unique_ptr<wivel::Control> elapsedLabel;
    std::unique_ptr<wivel::Control> nearestLabel;
    std::unique_ptr<wivel::Control> countLabel;
    std::unique_ptr<wivel::Button> solveButton;
    std::unique_ptr<wivel::Button> stopButton;
    std::unique_ptr<wivel::Button> resetButton;
    std::unique_ptr<wivel::ListBox> solutionList;
    wivel::Size targetSize;
    wivel::Size numberBoxSize;
    wivel::Size buttonSize;
    std::int32_t numberSpacing { 0 };
    wivel::Point targetOffset;
    wivel::Point numberOffset;
    wivel::Point solveOffset;
    wivel::Point resetOffset;
    wivel::Point listTopLeft;
    wivel::Point listCornerOffset;
    std::int32_t lastEmptyField { -1 };
    Puzzle puzzle;
    // Written by the worker during a run, by the interface thread otherwise.
    std::uint32_t solutionCount { 0 };

    RandomSource dealSource;
    std::atomic<bool> running { false };
    // Set once the window is being destroyed: the worker stops reporting.
    std::atomic<bool> closing { false };
    std::shared_ptr<RunGate> activeRun;
    std::mutex failureLock;
    std::string failure;
};

class AboutDialog : public wivel::Dialog {
public:
    explicit AboutDialog(wivel::WindowBase* parent);

    virtual LRESULT onVisitSite(UINT code, UINT id, NMHDR* header);
};

// The program from start to end: registers the main dialog's class, runs
// the dialog and returns the exit code; what escapes is shown as a fatal
// failure. WinMain calls it with a generator seeded at start-up.
int runProgram(RandomSource deals);

}
