#include "platform/qt/qt_application.h"

#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <cstdio>
#include <cstdlib>

#include "platform/posix/posix_file_io.h"
#include "core/command_codes.h"
#include "platform/qt/modeless_dialog.h"
#include "platform/qt/qt_platform.h"
#include "platform/qt/timed_input.h"
#include "platform/qt/window_input.h"
#include "state/app_state.h"
#include "state/progress.h"

namespace quorby {

namespace {

constexpr int kNoDisplayExitCode = 2;

bool hasValue(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

bool displayAvailable() {
    return hasValue("DISPLAY") || hasValue("WAYLAND_DISPLAY") || hasValue("QT_QPA_PLATFORM");
}

int saveScreenshot(QtPlatform& platform, const std::string& path) {
    QApplication::processEvents();
    // grab() renders the window with its menu bar, without the frame.
    QPixmap image = platform.window().grab();
    // Open modeless windows (the value inspector, the find dialog, the
    // disassembly window) are drawn where they stand; the image grows to
    // hold them whole.
    for (ModelessWindow which : {ModelessWindow::Values, ModelessWindow::Find, ModelessWindow::Disassembly}) {
        ModelessDialog* dialog = platform.modelessDialog(which);
        if (!dialog) continue;
        const QPixmap shown = dialog->grab();
        const QPoint at = platform.window().mapFromGlobal(dialog->pos());
        const QRect both = image.rect().united(QRect(at, shown.size()));
        QPixmap canvas(both.size());
        canvas.fill(Qt::white);
        QPainter painter(&canvas);
        painter.drawPixmap(-both.topLeft(), image);
        painter.drawPixmap(at - both.topLeft(), shown);
        painter.end();
        image = canvas;
    }
    if (!image.save(QFile::decodeName(QByteArray::fromStdString(path)), "PNG")) {
        std::fprintf(stderr, "quorby: cannot write the screenshot %s\n", path.c_str());
        return 1;
    }
    return 0;
}

}  // namespace

int runQtApplication(int argc, char** argv, const StartOptions& options, const std::string& screenshotPath,
                     const std::string& screenshotDialog) {
    if (!displayAvailable()) {
        std::fputs("quorby: no display available (set DISPLAY, or use --batch)\n", stderr);
        return kNoDisplayExitCode;
    }
    QApplication qtApp(argc, argv);
    // The desktop entry and the icon theme name the program "quorby".
    QGuiApplication::setDesktopFileName(QStringLiteral("quorby"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("quorby")));
    AppState app;
    LogicInput input(app);
    TimedInput timedInput(input, options.timingLog);
    PosixFileIo files;
    QtPlatform platform(options.timingLog.empty() ? static_cast<WindowInput*>(&input) : &timedInput);
    app.platform = &platform;
    app.files = &files;
    // A read that a failing drive holds up keeps the window drawn and can be
    // stopped with ESC.
    files.watchStalledReads([&app] { return pollProgress(app); });

    StartOptions start = options;
    const bool screenshot = !screenshotPath.empty();
    if (screenshot) {
        start.showWelcome = false;
        platform.setUnattended(true);
    }
    startApplication(app, start);
    platform.window().show();
    input.paint();
    if (screenshot && screenshotDialog == "values") input.command(kCmdShowValues);
    if (screenshot && screenshotDialog == "find") input.command(kCmdFindText);
    if (screenshot && screenshotDialog == "disassembly") input.command(kCmdDisassemble);
    if (screenshot && screenshotDialog == "options") {
        platform.setDialogScreenshot(screenshotPath);
        input.command(kCmdOptions);
    }

    int exitCode = 0;
    if (screenshot) {
        if (screenshotDialog != "options") exitCode = saveScreenshot(platform, screenshotPath);
        platform.window().close();  // the exit sequence: closes the file, writes the settings
    } else if (platform.quitRequested()) {
        exitCode = platform.exitCode();
    } else {
        exitCode = qtApp.exec();
    }
    if (!platform.window().destroyed() && !app.shell.destroyed) input.destroy();
    return screenshot ? exitCode : (platform.quitRequested() ? platform.exitCode() : exitCode);
}

}  // namespace quorby
