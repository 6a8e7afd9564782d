// The program: entry point, main dialog and About box.
//
// A run's worker thread changes the dialog's controls through their
// wrappers, which send messages to the interface thread; the interface
// thread therefore never waits for the worker while it runs. The one
// exception is the end of the program: the window object must outlive a
// worker that may still be reporting, so its destructor stops the search and
// waits, serving the messages the worker sends meanwhile.
#include "vexlo.h"

#include "puzzletext.h"
#include "resource.h"

#include <wivel/application.h>
#include <wivel/clipboard.h>

#include <shellapi.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <random>
#include <thread>

namespace vexlo {
namespace {

constexpr std::int32_t mainTemplate = IDD_SOLVER;
constexpr std::int32_t aboutTemplate = IDD_ABOUT;

// Posted by a worker whose run failed; the interface thread then ends the
// run and shows the failure.
constexpr UINT runFailedMessage = WM_APP + 1;

constexpr std::array<UINT, 6> randomPuzzleCommands {
    IDM_RANDOM_0_BIG, IDM_RANDOM_1_BIG, IDM_RANDOM_2_BIG, IDM_RANDOM_3_BIG, IDM_RANDOM_4_BIG, IDM_RANDOM_ANY,
};

wivel::Point offsetFrom(const wivel::Rectangle& rectangle, std::int32_t x)
{
    return { rectangle.left - x, rectangle.top };
}

// The text shown in the list: the multiplication and division signs of the
// Western code page in place of the ASCII operators.
void toDisplaySigns(std::string& text)
{
    for (char& c : text) {
        if (c == '*')
            c = static_cast<char>(0xD7);
        else if (c == '/')
            c = static_cast<char>(0xF7);
    }
}

}

// The life of one worker thread, shared by the thread and the window so that
// it outlives both; the window waits on it only when it is destroyed.
class SolverWindow::RunGate {
public:
    void finish()
    {
        std::lock_guard guard(m_lock);
        m_finished = true;
        m_changed.notify_all();
    }
    bool waitFor(std::chrono::milliseconds time)
    {
        std::unique_lock guard(m_lock);
        return m_changed.wait_for(guard, time, [this] { return m_finished; });
    }

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
    bool m_finished { false };
};

InputException::InputException(wivel::EditBox& editBox)
    : std::runtime_error(inputMessage)
    , editBox(editBox)
{
}

SolverWindow::SolverWindow(wivel::Application& application, RandomSource random)
    : wivel::Dialog(mainTemplate, application)
    , dealSource(std::move(random))
{
    notifyHandlers[IDC_SOLVE] = { this, &SolverWindow::onSolve };
    notifyHandlers[IDC_STOP] = { this, &SolverWindow::onStop };
    notifyHandlers[IDC_RESET] = { this, &SolverWindow::onReset };
    menuHandlers[IDM_COPY_SOLUTIONS] = { this, &SolverWindow::onCopySolutions };
    menuHandlers[IDM_ABOUT] = { this, &SolverWindow::onAbout };
    for (const UINT command : randomPuzzleCommands)
        menuHandlers[command] = { this, &SolverWindow::onRandomPuzzle };
    menuHandlers[IDM_EXIT] = { this, &SolverWindow::onExit };
    messageHandlers[WM_SIZE] = { this, &SolverWindow::onSize };
    messageHandlers[runFailedMessage] = { this, &SolverWindow::onRunFailed };
    accelerators(static_cast<UINT>(IDR_ACCELERATORS));
}

SolverWindow::~SolverWindow()
{
    closing = true;
    puzzle.requestStop();
    waitForWorker();
}

void SolverWindow::waitForWorker()
{
    if (!activeRun)
        return;
    // The worker may be inside a message sent to this thread: serving sent
    // messages while waiting lets it go on to see the stop.
    while (!activeRun->waitFor(std::chrono::milliseconds(2))) {
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
    }
    activeRun.reset();
}

void SolverWindow::onInitDialog()
{
    sendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(application().loadIcon(IDI_SOLVER_SMALL)));
    style(style());

    targetBox = std::make_unique<wivel::EditBox>(this, IDC_TARGET);
    for (std::size_t i = 0; i < numberBoxes.size(); ++i)
        numberBoxes[i] = std::make_unique<wivel::EditBox>(this, IDC_NUMBER0 + static_cast<std::int32_t>(i));
    elapsedLabel = std::make_unique<wivel::Control>(this, IDC_ELAPSED);
    nearestLabel = std::make_unique<wivel::Control>(this, IDC_NEAREST);
    countLabel = std::make_unique<wivel::Control>(this, IDC_COUNT);
    solutionList = std::make_unique<wivel::ListBox>(this, IDC_SOLUTIONS);
    solveButton = std::make_unique<wivel::Button>(this, IDC_SOLVE);
    stopButton = std::make_unique<wivel::Button>(this, IDC_STOP);
    resetButton = std::make_unique<wivel::Button>(this, IDC_RESET);

    const wivel::Rectangle window = sizeAndPosition();
    const std::int32_t width = window.width();
    const std::int32_t height = window.height();
    const std::int32_t halfWidth = width / 2;

    const wivel::Rectangle target = targetBox->sizeAndPosition();
    targetSize = target.size();
    targetOffset = offsetFrom(target, halfWidth);
    const wivel::Rectangle firstNumber = numberBoxes[0]->sizeAndPosition();
    numberBoxSize = firstNumber.size();
    numberOffset = offsetFrom(firstNumber, halfWidth);
    numberSpacing = numberBoxes[1]->sizeAndPosition().left - firstNumber.left;
    const wivel::Rectangle solve = solveButton->sizeAndPosition();
    buttonSize = solve.size();
    solveOffset = offsetFrom(solve, width);
    resetOffset = offsetFrom(resetButton->sizeAndPosition(), width);
    const wivel::Rectangle list = solutionList->sizeAndPosition();
    listTopLeft = { list.left, list.top };
    listCornerOffset = { list.right - width, list.bottom - height };
}

LRESULT SolverWindow::onSize(UINT, WPARAM, LPARAM)
{
    // Sizes arrive while the dialog is being built, before its controls are.
    if (!targetBox)
        return 0;
    const wivel::Rectangle window = sizeAndPosition();
    const std::int32_t width = window.width();
    const std::int32_t height = window.height();
    const std::int32_t halfWidth = width / 2;

    targetBox->sizeAndPosition({ { targetOffset.x + halfWidth, targetOffset.y }, targetSize });
    for (std::size_t i = 0; i < numberBoxes.size(); ++i) {
        const auto column = static_cast<std::int32_t>(i);
        numberBoxes[i]->sizeAndPosition(
            { { numberOffset.x + halfWidth + column * numberSpacing, numberOffset.y }, numberBoxSize });
        numberBoxes[i]->repaint(false);
    }
    wivel::Button& shown = solveButton->visible() ? *solveButton : *stopButton;
    shown.sizeAndPosition({ { solveOffset.x + width, solveOffset.y }, buttonSize });
    resetButton->sizeAndPosition({ { resetOffset.x + width, resetOffset.y }, buttonSize });
    resetButton->repaint(false);
    solutionList->sizeAndPosition(
        { listTopLeft, wivel::Point { listCornerOffset.x + width, listCornerOffset.y + height } });
    return 0;
}

void SolverWindow::onExit(bool, UINT)
{
    close(0);
}

void SolverWindow::onCopySolutions(bool, UINT)
{
    std::string text;
    for (std::uint32_t i = 0; i < solutionCount; ++i)
        text.append(solutionList->item(static_cast<std::int32_t>(i))).append("\r\n");
    wivel::Clipboard clipboard(this);
    clipboard.reset();
    clipboard.putText(text, CF_TEXT);
}

void SolverWindow::onRandomPuzzle(bool, UINT id)
{
    onReset(0, 0, nullptr);
    const Deal deal = dealPuzzle(static_cast<int>(id) - IDM_RANDOM_0_BIG, dealSource);
    // The puzzle's numbers are the deal's scratch list; Solve reads the boxes.
    puzzle.numbers = deal.numbers;
    for (std::size_t i = 0; i < numberBoxes.size(); ++i)
        numberBoxes[i]->text(std::to_string(deal.numbers[i]));
    targetBox->text(std::to_string(deal.target));
}

void SolverWindow::onAbout(bool, UINT)
{
    AboutDialog about(this);
    about.show();
}

std::string SolverWindow::trimField(wivel::EditBox& box)
{
    std::string trimmed(trimFieldText(box.text()));
    box.text(trimmed);
    return trimmed;
}

std::uint32_t SolverWindow::fieldValue(const std::string& trimmed, wivel::EditBox& box)
{
    // A value beyond 4294967295 is just another bad field.
    const auto value = parseFieldValue(trimmed);
    if (!value)
        throw InputException(box);
    return *value;
}

LRESULT SolverWindow::onSolve(UINT, UINT, NMHDR*)
{
    solutionCount = 0;
    try {
        puzzle.target = fieldValue(trimField(*targetBox), *targetBox);
        for (std::size_t i = 0; i < numberBoxes.size(); ++i) {
            wivel::EditBox& box = *numberBoxes[i];
            const std::string trimmed = trimField(box);
            if (!trimmed.empty()) {
                puzzle.numbers[i] = fieldValue(trimmed, box);
                continue;
            }
            // The first time, an empty box only receives the focus, so that
            // Enter after each number walks through the boxes.
            const auto index = static_cast<std::int32_t>(i);
            if (lastEmptyField == index)
                throw InputException(box);
            lastEmptyField = index;
            box.focus();
            return 0;
        }
    } catch (const InputException& bad) {
        messageBox(bad.what(), programTitle, MB_ICONEXCLAMATION | MB_OK);
        bad.editBox.focus();
        bad.editBox.selectAll();
        return 0;
    }

    enterRunningState();
    auto gate = std::make_shared<RunGate>();
    try {
        std::thread([this, gate] {
            runSearch();
            gate->finish();
        }).detach();
    } catch (...) {
        leaveRunningState();
        throw;
    }
    activeRun = std::move(gate);
    return 0;
}

void SolverWindow::enterRunningState()
{
    running = true;
    solveButton->visible(false);
    solveButton->enabled(false);
    resetButton->enabled(false);
    stopButton->visible(true);
    stopButton->enabled(true);
    stopButton->sizeAndPosition(solveButton->sizeAndPosition());
    enableRunMenuItems(MF_GRAYED);
}

void SolverWindow::leaveRunningState()
{
    stopButton->visible(false);
    stopButton->enabled(false);
    solveButton->visible(true);
    solveButton->enabled(true);
    solveButton->sizeAndPosition(stopButton->sizeAndPosition());
    resetButton->enabled(true);
    enableRunMenuItems(MF_ENABLED);
    running = false;
}

void SolverWindow::enableRunMenuItems(UINT flags)
{
    enableMenuItem(IDM_COPY_SOLUTIONS, flags);
    for (const UINT command : randomPuzzleCommands)
        enableMenuItem(command, flags);
}

int SolverWindow::runSearch()
{
    try {
        const auto start = std::chrono::system_clock::now();
        puzzle.solve(*this);
        const std::int64_t milliseconds
            = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now() - start).count();
        if (closing)
            return 0;
        elapsedLabel->text(elapsedText(static_cast<float>(static_cast<double>(milliseconds) / 1000.0)));
        leaveRunningState();
    } catch (const std::exception& thrown) {
        std::lock_guard guard(failureLock);
        failure = thrown.what();
    } catch (...) {
        std::lock_guard guard(failureLock);
        failure = "The solving run failed.";
    }
    // A failed run is ended on the interface thread, which can show it; a
    // window that is gone cannot take the message, and needs nothing more.
    if (!closing && running)
        postMessage(runFailedMessage, 0, 0);
    return 0;
}

LRESULT SolverWindow::onRunFailed(UINT, WPARAM, LPARAM)
{
    std::string text;
    {
        std::lock_guard guard(failureLock);
        text.swap(failure);
    }
    try {
        leaveRunningState();
    } catch (...) {
        // The failure being reported may be this very update; the box below
        // says what went wrong, and the state flag is idle regardless.
        running = false;
    }
    messageBox(text, programTitle, MB_ICONEXCLAMATION | MB_OK);
    return 0;
}

LRESULT SolverWindow::onStop(UINT, UINT, NMHDR*)
{
    puzzle.requestStop();
    return 0;
}

LRESULT SolverWindow::onReset(UINT, UINT, NMHDR*)
{
    targetBox->text("");
    for (auto& box : numberBoxes)
        box->text("");
    nearestLabel->text("");
    elapsedLabel->text("");
    countLabel->text("");
    solutionList->removeAll();
    targetBox->focus();
    lastEmptyField = -1;
    enableMenuItem(IDM_COPY_SOLUTIONS, MF_GRAYED);
    return 0;
}

void SolverWindow::addSolution(std::string text)
{
    if (closing)
        return;
    toDisplaySigns(text);
    solutionList->add(text);
    ++solutionCount;
    countLabel->text(std::to_string(solutionCount));
}

void SolverWindow::clearSolutions()
{
    if (closing)
        return;
    solutionList->removeAll();
    solutionCount = 0;
}

void SolverWindow::setNearest(std::uint64_t below, std::uint64_t above)
{
    if (closing)
        return;
    nearestLabel->text(nearestText(below, above));
}

void SolverWindow::onDestroy()
{
    // The worker may still be searching: it stops reporting at once and ends
    // after its current step; the destructor waits for it.
    closing = true;
    puzzle.requestStop();
}

AboutDialog::AboutDialog(wivel::WindowBase* parent)
    : wivel::Dialog(aboutTemplate, parent, true)
{
    notifyHandlers[IDC_VISIT_SITE] = { this, &AboutDialog::onVisitSite };
}

LRESULT AboutDialog::onVisitSite(UINT, UINT, NMHDR*)
{
    ShellExecuteA(nullptr, nullptr, VEXLO_SITE_ADDRESS, nullptr, nullptr, SW_SHOWDEFAULT);
    return 0;
}

int runProgram(RandomSource deals)
{
    try {
        wivel::Application application;
        wivel::WindowClass windowClass(application);
        windowClass.className("Vexlo");
        windowClass.icon(static_cast<UINT>(IDI_SOLVER));
        windowClass.classRecord.style = 0;
        windowClass.classRecord.lpfnWndProc = DefDlgProcA;
        windowClass.classRecord.cbWndExtra = DLGWINDOWEXTRA;
        windowClass.registerClass();

        SolverWindow window(application, std::move(deals));
        application.mainWindow(&window);
        return application.run();
    } catch (const std::exception& failure) {
        MessageBoxA(nullptr, failure.what(), "Fatal Internal Error", MB_ICONEXCLAMATION | MB_OK);
    } catch (...) {
        MessageBoxA(nullptr, "Unknown failure", "Fatal Internal Error", MB_ICONEXCLAMATION | MB_OK);
    }
    return 0;
}

}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // Seeded once, so that every start of the program deals differently.
    LARGE_INTEGER counter {};
    QueryPerformanceCounter(&counter);
    auto engine = std::make_shared<std::mt19937>(static_cast<std::uint32_t>(counter.QuadPart));
    return vexlo::runProgram([engine] { return static_cast<std::uint32_t>((*engine)()); });
}
