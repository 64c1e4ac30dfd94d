// text_capture_bench: how soon a capture's text is there, on a headless X
// desktop that shows real screenshots (bench/library/make-screens.sh), with
// the real glimber, in one run:
// - from the release of the drag to the text on the clipboard (Capture Text),
//   for regions of 0.3 and 1 megapixel, beside the per-file tesseract command
//   on the same pixels;
// - from the release to `qxc search` finding a region capture of 0.5 MP, beside
//   the same pixels arriving in the save folder by a copy: the watcher's path,
//   which every capture took before Glimber handed its own to the indexer;
// - the memory of the warm recogniser, idle, and after it has idled out.
//   text_capture_bench SCREENS_DIR [--runs N]
#include "HeadlessDesktop.h"
#include "SandboxHome.h"
#include "ShownPicture.h"
#include "XSession.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <vector>

namespace {

QString program(const char* name) {
    return QStringLiteral(GLIMBER_BIN_DIR "/") + QLatin1String(name);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

QByteArray runToEnd(const QString& path, const QStringList& arguments) {
    QProcess process;
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(path, arguments);
    process.waitForFinished(120'000);
    return process.readAllStandardOutput();
}

// Polls `done` while the event loop runs; the milliseconds it took, or none.
std::optional<double> timeUntil(const std::function<bool()>& done, const QElapsedTimer& since,
                                int timeoutMs = 30'000) {
    while (since.elapsed() < timeoutMs) {
        if (done())
            return double(since.nsecsElapsed()) / 1e6;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
        QThread::usleep(500);
    }
    return std::nullopt;
}

double residentMegabytes(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
    }
    return 0;
}

// The process id of glimber's child whose command line starts so, or 0. (The
// recogniser starts itself again, and is named "exe" after that.)
qint64 childOf(qint64 parent, const QString& command) {
    const QByteArray found =
        runToEnd("pgrep", {"-P", QString::number(parent), "-f", u'^' + command}).trimmed();
    return found.isEmpty() ? 0 : found.split('\n').first().toLongLong();
}

// A word of the region's text that `qxc search` can look for: the longest of
// five letters or more, read by the recogniser beforehand.
QString searchableWord(const QString& crop) {
    QProcess ocr;
    ocr.start(program("qxocr"), {});
    ocr.write(crop.toUtf8() + '\n');
    ocr.closeWriteChannel();
    ocr.waitForFinished(120'000);
    const QString text = QString::fromUtf8(ocr.readAllStandardOutput());
    QString best;
    const QRegularExpression word(QStringLiteral("[A-Za-z]{5,}"));
    for (auto it = word.globalMatch(text); it.hasNext();) {
        const QString found = it.next().captured();
        if (found.size() > best.size())
            best = found;
    }
    return best;
}

// A recogniser of the benchmark's own, loaded once: how long reading alone takes.
class WarmReader {
public:
    WarmReader() {
        helper_.setStandardErrorFile(QProcess::nullDevice());
        helper_.start(program("qxocr"), {"--warm"});
        helper_.waitForStarted();
    }
    ~WarmReader() {
        helper_.closeWriteChannel();
        helper_.waitForFinished(10'000);
    }
    double millisecondsToRead(const QString& path) {
        QElapsedTimer clock;
        clock.start();
        helper_.write(path.toUtf8() + '\n');
        while (!helper_.canReadLine() && helper_.waitForReadyRead(120'000)) {
        }
        helper_.readLine();
        return double(clock.nsecsElapsed()) / 1e6;
    }

private:
    QProcess helper_;
};

struct Region {
    const char* name;
    QRect rect;
};

class Bench {
public:
    Bench(SandboxHome& home, XSession& x, qint64 glimber)
        : home_(home)
        , x_(x)
        , glimber_(glimber) {}

    // Capture Text over `rect`: release to clipboard text, in ms.
    std::optional<double> textToClipboard(const QRect& rect) {
        QGuiApplication::clipboard()->setText(QStringLiteral("marker"));
        QCoreApplication::processEvents();
        if (!startCapture("--capture-text"))
            return std::nullopt;
        x_.drag(rect.topLeft(), rect.bottomRight());
        QElapsedTimer since;
        since.start();
        return timeUntil([] { return QGuiApplication::clipboard()->text() != u"marker"; }, since);
    }

    // A region capture over `rect`: release to `qxc search word` listing it, in ms.
    std::optional<double> captureToSearchable(const QRect& rect, const QString& word) {
        const QStringList before = saved();
        if (!startCapture("--capture-region"))
            return std::nullopt;
        x_.drag(rect.topLeft(), rect.bottomRight());
        QElapsedTimer since;
        since.start();
        QString path;
        return timeUntil(
            [&] {
                if (path.isEmpty()) {
                    QStringList now = saved();
                    for (const QString& name : before)
                        now.removeAll(name);
                    path = now.isEmpty() ? QString() : saveFolder() + u'/' + now.first();
                }
                return !path.isEmpty() && finds(word, path);
            },
            since);
    }

    // The same pixels copied into the save folder: copy to `qxc search word` listing it.
    std::optional<double> copyToSearchable(const QString& crop, const QString& word, int run) {
        const QString path = saveFolder() + QStringLiteral("/copied %1.png").arg(run);
        QElapsedTimer since;
        since.start();
        if (!QFile::copy(crop, path))
            return std::nullopt;
        return timeUntil([&] { return finds(word, path); }, since);
    }

private:
    bool startCapture(const char* option) {
        runToEnd(program("glimber"), {QString::fromLatin1(option)});
        QElapsedTimer since;
        since.start();
        return timeUntil([&] { return childOf(glimber_, program("qxcapture")) != 0; }, since) &&
               x_.waitForCaptureOverlay();
    }
    QString saveFolder() const { return home_.file(".glimvault/captures"); }
    QStringList saved() const {
        return QDir(saveFolder()).entryList({"Glimber *.png"}, QDir::Files);
    }
    static bool finds(const QString& word, const QString& path) {
        return runToEnd(program("qxc"), {"search", word, "--limit", "1000"})
            .contains(QFile::encodeName(path));
    }

    SandboxHome& home_;
    XSession& x_;
    qint64 glimber_;
};

} // namespace

int main(int argc, char** argv) {
    SandboxHome home;
    HeadlessDesktop desktop;
    if (!desktop.ready() || !desktop.startTray()) {
        std::fputs("text_capture_bench: could not start Xvfb, a bus and a tray\n", stderr);
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    int runs = 10;
    const qsizetype runsAt = arguments.indexOf(QStringLiteral("--runs"));
    if (runsAt > 0 && runsAt + 1 < arguments.size())
        runs = arguments[runsAt + 1].toInt();
    const QDir screensDir(arguments.value(1));
    const QStringList screens =
        screensDir.entryList({QStringLiteral("screen-1280x800-*.png")}, QDir::Files);
    if (screens.isEmpty() || runs < 1) {
        std::fputs("usage: text_capture_bench SCREENS_DIR [--runs N]\n"
                   "(SCREENS_DIR as bench/library/make-screens.sh makes it)\n",
                   stderr);
        return 2;
    }

    QProcess glimber;
    HeadlessDesktop::tieToThisProcess(glimber);
    glimber.setStandardErrorFile(QProcess::nullDevice());
    glimber.start(program("glimber"), {});
    QElapsedTimer starting;
    starting.start();
    if (!glimber.waitForStarted() ||
        !timeUntil([&] { return QFileInfo::exists(home.file(".run/glimber.socket")); }, starting)) {
        std::fputs("text_capture_bench: glimber did not start\n", stderr);
        return 1;
    }
    QThread::sleep(1);
    XSession x;

    const std::vector<Region> regions{{"0.3 MP (640x480)", {100, 100, 640, 480}},
                                      {"1.0 MP (1250x800)", {15, 0, 1250, 800}}};
    const QRect searchRegion(100, 80, 800, 625);
    std::vector<std::vector<double>> toClipboard(regions.size()), tesseract(regions.size()),
        readAlone(regions.size());
    WarmReader reader;
    std::vector<double> searchable, copied;
    Bench bench(home, x, glimber.processId());
    for (int run = 0; run < runs; ++run) {
        const QString screen = screensDir.filePath(screens[run % screens.size()]);
        const QImage picture(screen);
        ShownPicture shown(picture, home.file("shown.png"),
                           QProcessEnvironment::systemEnvironment(), {"0", "0"});
        if (!shown.shown()) {
            std::fputs("text_capture_bench: the screenshot did not show\n", stderr);
            return 1;
        }
        for (std::size_t r = 0; r < regions.size(); ++r) {
            const QString crop = home.file(QStringLiteral("crop-%1.png").arg(r));
            picture.copy(regions[r].rect).save(crop);
            QElapsedTimer command;
            command.start();
            runToEnd("tesseract", {crop, "-", "-l", "jpn+eng"});
            tesseract[r].push_back(double(command.nsecsElapsed()) / 1e6);
            readAlone[r].push_back(reader.millisecondsToRead(crop));
            const std::optional<double> ms = bench.textToClipboard(regions[r].rect);
            if (!ms) {
                std::fputs("text_capture_bench: no text reached the clipboard\n", stderr);
                return 1;
            }
            toClipboard[r].push_back(*ms);
        }
        const QString crop = home.file(QStringLiteral("search-%1.png").arg(run));
        picture.copy(searchRegion).save(crop);
        const QString word = searchableWord(crop);
        const std::optional<double> own = bench.captureToSearchable(searchRegion, word);
        const std::optional<double> other = bench.copyToSearchable(crop, word, run);
        if (word.isEmpty() || !own || !other) {
            std::fprintf(stderr, "text_capture_bench: \"%s\" was not found\n", qPrintable(word));
            return 1;
        }
        searchable.push_back(*own);
        copied.push_back(*other);
    }

    const QString warmHelper = program("qxocr") + QStringLiteral(" --warm");
    const qint64 warm = childOf(glimber.processId(), warmHelper);
    const double warmMb = warm ? residentMegabytes(warm) : 0;
    const double glimberWarmMb = residentMegabytes(glimber.processId());
    QThread::sleep(65);
    QCoreApplication::processEvents();
    const bool idledOut = childOf(glimber.processId(), warmHelper) == 0;
    const double glimberIdleMb = residentMegabytes(glimber.processId());

    std::printf("Capture Text and searchable captures on real screenshots (1280x800), median of "
                "%d runs, ms\n\n",
                runs);
    std::printf("| region | release to clipboard text | a warm recogniser alone, same crop | "
                "`tesseract IMG - -l jpn+eng` | clipboard / tesseract |\n"
                "|---|---|---|---|---|\n");
    for (std::size_t r = 0; r < regions.size(); ++r)
        std::printf("| %s | %.0f | %.0f | %.0f | %.2fx |\n", regions[r].name,
                    median(toClipboard[r]), median(readAlone[r]), median(tesseract[r]),
                    median(toClipboard[r]) / median(tesseract[r]));
    std::printf("\n| 0.5 MP (800x625) | median | ratio |\n|---|---|---|\n");
    std::printf("| own capture: release to `qxc search` finding it | %.0f | %.2fx |\n",
                median(searchable), median(searchable) / median(copied));
    std::printf("| same pixels copied into the save folder (the watcher's path) | %.0f | 1 |\n",
                median(copied));
    std::printf("\n| memory | MB |\n|---|---|\n");
    std::printf("| warm recogniser (qxocr --warm), idle after use | %.1f |\n", warmMb);
    std::printf("| glimber itself, with the recogniser warm | %.1f |\n", glimberWarmMb);
    std::printf("| recogniser after a minute idle | %s |\n",
                idledOut ? "ended (0)" : "still running");
    std::printf("| glimber itself, after the recogniser ended | %.1f |\n", glimberIdleMb);
    return 0;
}
