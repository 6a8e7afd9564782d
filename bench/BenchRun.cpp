// Time of a whole Solve in the program, from the Enter that presses Solve to
// the dialog being idle again (worker start, every report crossing to the
// interface thread, the end of the run), on the headless backend.
#include "vexlo.h"

#include <ResourceImage.h>
#include <windows.h>
#include <winapi/host.h>

#include <benchmark/benchmark.h>

#include <chrono>

namespace {

bool idle(HWND dialog)
{
    return IsWindowVisible(GetDlgItem(dialog, 1)) && IsWindowEnabled(GetDlgItem(dialog, 130))
        && !(GetMenuState(GetMenu(dialog), 205, MF_BYCOMMAND) & MF_GRAYED);
}

void type(HWND dialog, int id, const char* text)
{
    winapi::host::clickCentre(GetDlgItem(dialog, id));
    winapi::host::typeText(text);
}

void BM_WholeSolve(benchmark::State& state)
{
    winapi::host::setResourceImage(vexloResourceImage, vexloResourceImageSize);
    for (auto _ : state) {
        enum class Phase { Enter, Press, Wait, Done } phase = Phase::Enter;
        std::chrono::steady_clock::time_point start;
        double seconds = 0;
        HWND dialog = nullptr;
        winapi::host::setIdleHandler([&] {
            if (!dialog)
                dialog = GetActiveWindow();
            switch (phase) {
            case Phase::Enter: {
                type(dialog, 101, "952");
                const char* numbers[] = { "100", "75", "50", "25", "6", "3" };
                for (int i = 0; i < 6; ++i)
                    type(dialog, 110 + i, numbers[i]);
                phase = Phase::Press;
                break;
            }
            case Phase::Press:
                start = std::chrono::steady_clock::now();
                winapi::host::pressKey(VK_RETURN);
                phase = Phase::Wait;
                break;
            case Phase::Wait:
                if (idle(dialog) && GetWindowTextLengthA(GetDlgItem(dialog, 120)) > 0) {
                    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
                    phase = Phase::Done;
                    PostMessageA(dialog, WM_CLOSE, 0, 0);
                    return;
                }
                break;
            case Phase::Done:
                return;
            }
            PostMessageA(dialog, WM_NULL, 0, 0);
        });
        vexlo::runProgram([] { return 0U; });
        winapi::host::setIdleHandler({});
        UnregisterClassA("Vexlo", GetModuleHandleA(nullptr));
        state.SetIterationTime(seconds);
    }
}

BENCHMARK(BM_WholeSolve)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(0.5);

}
