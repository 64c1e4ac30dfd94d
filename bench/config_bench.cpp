// What one settings lookup (ConfigStore::effective()) costs now that a file is
// parsed only when it changed, against reading and parsing it at every lookup
// as before, in the same run, for settings files of several sizes. Medians of
// five rounds of lookups. A file over 1 MB is not read at all.
#include "ConfigStore.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

QByteArray settingsOfSize(qint64 bytes) {
    QByteArray json = R"({"autoOcr": true, "captures": "~/Pictures/Glimber", )"
                      R"("hotkey": {"holdThreshold": 0.4, "modifier": "rightShift"}, "notes": ")";
    json += QByteArray(std::max<qint64>(0, bytes - json.size() - 2), 'n');
    return json + "\"}";
}

// Microseconds per call, the median of five rounds.
template <typename Lookup>
double medianMicroseconds(int calls, Lookup lookup) {
    std::vector<double> rounds;
    for (int round = 0; round < 5; ++round) {
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < calls; ++i)
            lookup();
        rounds.push_back(double(clock.nsecsElapsed()) / 1000.0 / calls);
    }
    std::sort(rounds.begin(), rounds.end());
    return rounds[2];
}

} // namespace

int main() {
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    const QString file = home.filePath(".glimvault/config.json");
    QDir().mkpath(home.filePath(".glimvault"));
    std::printf("%-10s %14s %18s %8s\n", "file size", "lookup (us)", "parse each (us)", "ratio");
    for (const qint64 size : {300LL, 100'000LL, 900'000LL, 100'000'000LL}) {
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly) || out.write(settingsOfSize(size)) != size)
            return 1;
        out.close();
        // A file changed within the last second or two is re-read at every lookup.
        QThread::msleep(2200);
        const int calls = size > 1'000'000 ? 100 : 1000;
        const double cached = medianMicroseconds(calls, [] { ConfigStore::effective(); });
        if (size > 1'000'000) {
            std::printf("%-10lld %14.2f %18s %8s\n", size, cached, "not run", "-");
            continue;
        }
        const int baselineCalls = size > 50'000 ? 20 : 1000;
        const double parsed = medianMicroseconds(baselineCalls, [&file] {
            QFile in(file);
            in.open(QIODevice::ReadOnly);
            (void)QJsonDocument::fromJson(in.readAll()).object();
        });
        std::printf("%-10lld %14.2f %18.2f %7.0fx\n", size, cached, parsed, parsed / cached);
    }
    return 0;
}
