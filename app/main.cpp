// The program's entry: picks the window, the batch mode or one of the
// command-line tools. The window lives in a module of its own that is loaded
// only for it, so the others start without the window system's libraries.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/startup.h"
#include "batch/batch_runner.h"
#include "disasm/listing_cli.h"
#include "journal/journal_dump.h"
#include "platform/posix/absolute_path.h"
#include "platform/posix/posix_file_io.h"
#include "platform/posix/window_module.h"

namespace {

int usage(const char* problem) {
    if (problem) std::fprintf(stderr, "quorby: %s\n", problem);
    std::fputs(quorby::batchHelpText(), problem ? stderr : stdout);
    return problem ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "--disassemble") == 0)
        return quorby::runDisassembleCommand(argc - 1, argv + 1, stdout);
    if (argc >= 2 && std::strcmp(argv[1], "--journal-dump") == 0) {
        quorby::PosixFileIo files;
        return quorby::runJournalDump(files, argc - 1, argv + 1, stdout);
    }

    quorby::StartOptions options;
    std::string batchScript;
    std::string screenshot;
    std::string screenshotDialog;
    bool batch = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&](const char* name) -> const char* {
            if (i + 1 >= argc) return nullptr;
            (void)name;
            return argv[++i];
        };
        if (arg == "--help" || arg == "-h") return usage(nullptr);
        if (arg == "--version") {
            std::puts(quorby::kProgramVersionLine);
            return 0;
        }
        if (arg == "--home") {
            const char* v = value("--home");
            if (!v) return usage("--home needs a directory");
            options.homeDirectory = quorby::absolutePath(v);
        } else if (arg == "--timing") {
            const char* v = value("--timing");
            if (!v) return usage("--timing needs a file");
            options.timingLog = quorby::absolutePath(v);
        } else if (arg == "--batch") {
            const char* v = value("--batch");
            if (!v) return usage("--batch needs a script file (or - for standard input)");
            batchScript = v;
            batch = true;
        } else if (arg == "--screenshot") {
            const char* v = value("--screenshot");
            if (!v) return usage("--screenshot needs an output file");
            screenshot = quorby::absolutePath(v);
        } else if (arg == "--show") {
            const char* v = value("--show");
            const std::string shown = v ? v : "";
            if (shown != "values" && shown != "options" && shown != "find" && shown != "disassembly")
                return usage("--show needs values, options, find or disassembly");
            screenshotDialog = v;
        } else if (arg.size() > 1 && arg[0] == '-' && arg != "-") {
            return usage(("unknown option " + arg).c_str());
        } else if (options.fileToOpen.empty()) {
            // A drive text of the last opened files ("  Drive  A: /dev/...") stays as it is.
            options.fileToOpen = arg[0] == ' ' ? arg : quorby::absolutePath(arg);
        } else {
            return usage("only one FILE can be opened");
        }
    }

    if (batch) return quorby::runBatch(batchScript, options, stdout);
#ifdef QUORBY_WINDOW_MODULE
    // The window module: beside the program in the build tree, else where
    // it is installed, found from the program's own place first so that an
    // installation moved as a whole (a scratch root) still finds it.
    const std::string programDirectory = quorby::executableDirectory();
    const std::vector<std::string> modules = {
        programDirectory + "/" QUORBY_WINDOW_MODULE,
        programDirectory + "/" QUORBY_WINDOW_MODULE_FROM_PROGRAM "/" QUORBY_WINDOW_MODULE,
        QUORBY_WINDOW_MODULE_INSTALLED "/" QUORBY_WINDOW_MODULE,
    };
    const quorby::WindowModuleStart start = {argc, argv, options.homeDirectory.c_str(), options.fileToOpen.c_str(),
                                             screenshot.c_str(), screenshotDialog.c_str()};
    return quorby::runWindowModule(modules, start, stderr);
#else
    std::fputs("quorby: built without the window; use --batch\n", stderr);
    return 2;
#endif
}
