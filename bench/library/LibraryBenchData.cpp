#include "LibraryBenchData.h"

#include "ConfigStore.h"
#include "ShotIndex.h"
#include "SqliteConnection.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>
#include <QScreen>
#include <QTableWidget>
#include <QTextBrowser>
#include <QThread>
#include <QTreeView>

#include <cstdio>
#include <memory>
#include <unistd.h>

namespace LibraryBenchData {

namespace {

// Text files any Debian system has, so the windows show real prose and code.
QStringList documents() {
    QStringList found;
    QDirIterator it("/usr/share/doc", {"README*", "changelog*", "NEWS*", "copyright"}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext() && found.size() < 60) {
        const QString path = it.next();
        if (!path.endsWith(".gz") && QFileInfo(path).size() > 2000)
            found.append(path);
    }
    return found;
}

void settle(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

} // namespace

int makeScreens(const QString& folder) {
    QDir().mkpath(folder);
    const QStringList docs = documents();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QString size = QString("%1x%2").arg(screen.width()).arg(screen.height());
    QList<std::shared_ptr<QProcess>> programs;
    for (const QStringList& command :
         {QStringList{"xcalc"}, QStringList{"xclock", "-geometry", "220x220-10+10"},
          QStringList{"xman"}, QStringList{"xlogo", "-geometry", "200x200-10-10"}}) {
        auto program = std::make_shared<QProcess>();
        program->start(command.first(), command.mid(1));
        programs.append(program);
    }
    int made = 0;
    for (int arrangement = 0; arrangement < 12; ++arrangement) {
        QList<std::shared_ptr<QWidget>> windows;
        auto text = std::make_shared<QTextBrowser>();
        QFile doc(docs.value(arrangement * 3 % std::max<qsizetype>(1, docs.size())));
        if (doc.open(QIODevice::ReadOnly))
            text->setPlainText(QString::fromUtf8(doc.read(20'000)));
        text->setGeometry(screen.width() / 5, 40 + arrangement * 7, screen.width() / 2,
                          screen.height() * 2 / 3);
        windows.append(text);
        auto files = std::make_shared<QTreeView>();
        auto* model = new QFileSystemModel(files.get());
        model->setRootPath("/usr/share");
        files->setModel(model);
        files->setRootIndex(model->index(arrangement % 2 ? "/usr/share/doc" : "/usr/lib"));
        files->setGeometry(screen.width() / 2 + arrangement * 5, screen.height() / 4,
                           screen.width() / 2 - 40, screen.height() / 2);
        windows.append(files);
        if (arrangement % 3 == 0) {
            auto table = std::make_shared<QTableWidget>(60, 6);
            for (int r = 0; r < 60; ++r)
                for (int c = 0; c < 6; ++c)
                    table->setItem(
                        r, c,
                        new QTableWidgetItem(QString("R%1C%2 %3").arg(r).arg(c).arg(r * 37 % 101)));
            table->setGeometry(40, screen.height() / 3, screen.width() / 3, screen.height() / 2);
            windows.append(table);
        }
        for (const auto& window : windows)
            window->show();
        settle(1200);
        const QImage grabbed = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
        if (grabbed.save(QString("%1/screen-%2-%3.png").arg(folder, size).arg(arrangement)))
            ++made;
    }
    for (const auto& program : programs) {
        program->terminate();
        program->waitForFinished(3000);
    }
    return made;
}

QStringList distinctFiles(const QString& root) {
    QStringList files;
    for (const QFileInfo& info : QDir(root + "/variants").entryInfoList({"*.png"}, QDir::Files))
        files.append(info.absoluteFilePath());
    return files;
}

namespace {

// Each screenshot in a few cuts and scales, so the shot files differ in size
// and content while staying real screens.
QStringList makeVariants(const QString& root, const QString& screens) {
    const QString folder = root + "/variants";
    QDir().mkpath(folder);
    QStringList made;
    int n = 0;
    for (const QFileInfo& info : QDir(screens).entryInfoList({"*.png"}, QDir::Files)) {
        const QImage screen(info.absoluteFilePath());
        const QList<QImage> cuts{
            screen, screen.copy(0, 0, screen.width() * 3 / 4, screen.height()),
            screen.copy(screen.width() / 8, screen.height() / 10, screen.width() * 3 / 4,
                        screen.height() * 4 / 5),
            screen.scaled(screen.size() * 0.8, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)};
        for (const QImage& cut : cuts) {
            if (qint64(cut.width()) * cut.height() < 900'000)
                continue;
            const QString path =
                QString("%1/variant-%2.png").arg(folder).arg(n++, 4, 10, QChar('0'));
            if (cut.save(path))
                made.append(path);
        }
    }
    return made;
}

QString pageOfText(QRandomGenerator& random, const QStringList& words) {
    QString text;
    while (text.size() < 2000) {
        text += words[random.bounded(int(words.size()))];
        text += random.bounded(12) == 0 ? QStringLiteral("\n") : QStringLiteral(" ");
    }
    return text + QStringLiteral(" ") + QString::fromLatin1(commonWord);
}

} // namespace

bool prepare(const QString& root, const QString& screens, int rows) {
    const QString database = QDir::homePath() + "/.glimvault/db.sqlite";
    if (QFile::exists(database))
        return true;
    QStringList variants = distinctFiles(root);
    if (variants.isEmpty())
        variants = makeVariants(root, screens);
    if (variants.isEmpty())
        return false;
    const QString folder = ConfigStore::resolveCaptureDir();
    QDir().mkpath(folder);
    std::fprintf(stderr, "making %d shot files from %d pictures...\n", rows, int(variants.size()));
    for (int i = 0; i < rows; ++i) {
        const QString link =
            QString("%1/Glimber 2026-01-01-00-00-00 %2.png").arg(folder).arg(i, 6, 10, QChar('0'));
        if (!QFile::exists(link) &&
            ::link(QFile::encodeName(variants[i % variants.size()]).constData(),
                   QFile::encodeName(link).constData()) != 0)
            return false;
    }
    std::fprintf(stderr, "indexing...\n");
    ShotIndex index({database, "/nonexistent"});
    index.openDB();
    index.scan();
    auto db = SqliteConnection::openReadWrite(database, 3000);
    if (!db || !db->exec("BEGIN"))
        return false;
    const QStringList words = QString("window file edit view help tools options open save close "
                                      "license copyright version release notes package debian "
                                      "upstream source build install configure library error "
                                      "warning value table column row total amount invoice "
                                      "ファイル 設定 表示 編集 保存 検索")
                                  .split(' ');
    QRandomGenerator random(7);
    for (int i = 0; i < rows; ++i) {
        auto update = db->prepare("UPDATE shots SET ocr_text = ?, mtime_ms = ?, ocr_done = 1 "
                                  "WHERE path = ?");
        QString text = pageOfText(random, words);
        // The rare word sits in old rows, so a search for it reads the whole table.
        if (i < rowsWithRareWord)
            text += QStringLiteral(" ") + QString::fromLatin1(rareWord);
        update->bindText(1, text);
        update->bindInt64(2, 1'700'000'000'000LL + qint64(i) * 1000);
        update->bindText(
            3,
            QString("%1/Glimber 2026-01-01-00-00-00 %2.png").arg(folder).arg(i, 6, 10, QChar('0')));
        if (update->step())
            return false;
    }
    return db->exec("COMMIT");
}

} // namespace LibraryBenchData
