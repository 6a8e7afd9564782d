// The entry point the layer gives a program: it chooses the backend (the
// one place where a display backend will be chosen from the environment),
// hands the layer the program's resource image when the program links one,
// and calls WinMain as the platform's start-up code does: the module
// handle, no previous instance, the arguments after the program's name as
// one line, and SW_SHOWDEFAULT.
#include <windows.h>
#include <winapi/host.h>

#include <cstddef>
#include <string>

// The image of a program's resource library (see winapi_link_program);
// weak, so that programs without resources link as well.
extern const unsigned char vexloResourceImage[] __attribute__((weak));
extern const std::size_t vexloResourceImageSize __attribute__((weak));

namespace {

std::string commandLine(int argc, char** argv)
{
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            line += ' ';
        const std::string argument = argv[i];
        const bool quote = argument.empty() || argument.find_first_of(" \t") != std::string::npos;
        line += quote ? '"' + argument + '"' : argument;
    }
    return line;
}

}

int main(int argc, char** argv)
{
    winapi::host::selectBackend(winapi::host::backendForProgram());
    if (vexloResourceImage && &vexloResourceImageSize)
        winapi::host::setResourceImage(vexloResourceImage, vexloResourceImageSize);
    std::string line = commandLine(argc, argv);
    return WinMain(GetModuleHandleA(nullptr), nullptr, line.data(), SW_SHOWDEFAULT);
}
