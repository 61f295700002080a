#include <gtest/gtest.h>

#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include "tests/qt/qt_test_support.h"

namespace quorby {
namespace {

bool programBuilt() { return QFileInfo::exists(QStringLiteral(QUORBY_BINARY)); }

QProcessEnvironment cleanEnvironment() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    env.insert("ASAN_OPTIONS", "detect_leaks=0");
    return env;
}

int run(const QStringList& args, const QProcessEnvironment& env, QByteArray* errors) {
    QProcess program;
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(QUORBY_BINARY), args);
    if (!program.waitForFinished(60000)) {
        program.kill();
        program.waitForFinished();
        return -1;
    }
    *errors = program.readAllStandardError();
    return program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
}

TEST(Program, ScreenshotShowsTheFileAndWithoutDisplayTheWindowRefuses) {
    test::ensureQtApplication();
    if (!programBuilt()) GTEST_SKIP() << "the quorby program is not built: " << QUORBY_BINARY;
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const QString file = home.filePath("data.bin");
    {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write("Quorby screenshot test\x00\x01\x02", 25);
    }
    const QString png = home.filePath("shot.png");
    QProcessEnvironment env = cleanEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    QByteArray errors;
    ASSERT_EQ(run({"--home", home.path(), "--screenshot", png, file}, env, &errors), 0) << errors.toStdString();

    QImage image(png);
    ASSERT_FALSE(image.isNull());
    EXPECT_GE(image.width(), 88 * 7);
    EXPECT_GE(image.height(), 34 * 12);
    // The hexadecimal column's background 0xEEFFEE is on screen.
    int hexCells = 0;
    for (int y = 0; y < image.height(); y += 4)
        for (int x = 0; x < image.width(); x += 4)
            if (image.pixelColor(x, y) == QColor(0xEE, 0xFF, 0xEE)) ++hexCells;
    EXPECT_GT(hexCells, 1000);
    // The exit sequence ran: the settings file was written.
    EXPECT_EQ(QFileInfo(home.filePath("quorby.dat")).size(), 4116);

    errors.clear();
    EXPECT_EQ(run({"--home", home.path(), file}, cleanEnvironment(), &errors), 2);
    EXPECT_TRUE(errors.contains("quorby: no display available (set DISPLAY, or use --batch)")) << errors.toStdString();
}

}  // namespace
}  // namespace quorby
