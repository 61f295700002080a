// The entry of the window module (libquorby-window.so): the program loads
// the module and calls this function when a window is wanted.
#include <type_traits>

#include "platform/posix/window_module.h"
#include "platform/qt/qt_application.h"

extern "C" __attribute__((visibility("default"))) int quorby_window_main(const quorby::WindowModuleStart* start) {
    quorby::StartOptions options;
    options.homeDirectory = start->homeDirectory;
    options.fileToOpen = start->fileToOpen;
    return quorby::runQtApplication(start->argc, start->argv, options, start->screenshotPath,
                                    start->screenshotDialog);
}

static_assert(std::is_same_v<decltype(quorby_window_main), quorby::WindowModuleEntry>);
