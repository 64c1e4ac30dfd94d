#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include <deque>
#include <functional>
#include <optional>

class QProcess;

// What the helper said of one picture.
struct OcrAnswer {
    std::optional<QString> text; // none: the picture could not be read
    QString error;               // why, in the helper's words or ours
    QByteArray words;            // where the words stand, as the helper tells it
    // The helper itself failed (missing, crashed, hung), so the picture may
    // still be readable, as against a picture the helper answered with an error.
    bool helperFailed = false;
};

// One OCR helper kept running between pictures, its recogniser loaded ahead
// of need, so that reading one picture does not wait for the models to load.
// It quits after a while without work and gives its memory back; a helper
// that is missing, crashes or hangs fails the pictures it holds, and the next
// picture starts a fresh one. Lives on one thread; answers come through its
// event loop, in the order the pictures were given.
class WarmOcrHelper : public QObject {
    Q_OBJECT

public:
    struct Timing {
        int idleMs = 60'000;    // without a picture for this long, the helper quits
        int pictureMs = 60'000; // a picture not answered by then is given up
    };

    explicit WarmOcrHelper(QString helperPath, Timing timing, QObject* parent = nullptr);
    explicit WarmOcrHelper(QString helperPath, QObject* parent = nullptr)
        : WarmOcrHelper(std::move(helperPath), Timing{}, parent) {}
    ~WarmOcrHelper() override;

    // Starts the helper, when it is not running, and restarts the idle time.
    void warmUp();
    // Reads one picture; `done` runs once, with its text or the reason it has none.
    void read(const QString& path, std::function<void(const OcrAnswer&)> done);

    bool isRunning() const;
    // The helper's process id, or 0.
    qint64 processId() const;

private:
    struct Request {
        QString path;
        std::function<void(const OcrAnswer&)> done;
    };
    void answerLines();
    void failAll(const QString& reason);
    void helperEnded(const QString& reason);
    void restartIdleTime();

    QString helperPath_;
    QString startFailure_; // why the last start gave no helper
    Timing timing_;
    QProcess* helper_ = nullptr;
    QByteArray pending_; // output not yet ended by a line feed
    std::deque<Request> requests_;
    QTimer idle_;
    QTimer deadline_;
};
