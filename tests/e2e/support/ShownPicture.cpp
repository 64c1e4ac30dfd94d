#include "ShownPicture.h"

#include "HeadlessDesktop.h"

#include <QTest>

ShownPicture::ShownPicture(const QImage& picture, const QString& file,
                           const QProcessEnvironment& environment, const QStringList& place) {
    if (!picture.save(file))
        return;
    HeadlessDesktop::tieToThisProcess(process_);
    process_.setProcessEnvironment(environment);
    process_.start(QStringLiteral(GLIMBER_BIN_DIR "/../tests/show_picture"),
                   QStringList{file} + place);
    QByteArray said;
    shown_ = QTest::qWaitFor(
        [&] {
            said += process_.readAll();
            return said.contains("shown");
        },
        10'000);
    // A window manager or compositor places a new window a moment after it shows.
    QTest::qWait(500);
}

ShownPicture::~ShownPicture() {
    process_.kill();
    process_.waitForFinished();
}
