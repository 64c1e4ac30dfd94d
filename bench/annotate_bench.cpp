// How long the editor takes to flatten a busy screenshot, at the canvas's
// preview bound and at full size, and how long one canvas repaint takes while
// an item is dragged. Each figure is set against the same work on the bare
// screenshot (no items), measured in the same run; medians of five repetitions.
#include "AnnotationCanvasView.h"
#include "AnnotationRenderer.h"

#include <QApplication>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <numbers>
#include <string>

namespace {

constexpr QSize screenshot(2880, 1800);
constexpr QSize editorCanvas(940, 600);

QImage busyScreenshot() {
    QImage image(screenshot, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    QLinearGradient shade(0, 0, screenshot.width(), screenshot.height());
    shade.setColorAt(0, QColor(20, 30, 120));
    shade.setColorAt(1, QColor(240, 200, 40));
    painter.fillRect(image.rect(), shade);
    QFont font;
    font.setPixelSize(28);
    painter.setFont(font);
    painter.setPen(Qt::white);
    for (int row = 0; row < 40; ++row)
        painter.drawText(40, 60 + row * 42,
                         QStringLiteral("Invoice %1 total 1,234.56 due").arg(row));
    return image;
}

Annotation itemNumber(int i) {
    Annotation a;
    a.color = QColor(255, 59, 48);
    a.lineWidth = 4 + i % 6;
    const double x = 100 + (i * 211) % 2500;
    const double y = 100 + (i * 137) % 1500;
    static const Annotation::Kind kinds[] = {Annotation::Kind::arrow, Annotation::Kind::line,
                                             Annotation::Kind::rect, Annotation::Kind::ellipse,
                                             Annotation::Kind::text};
    a.kind = kinds[i % 5];
    a.rect = QRectF(x, y, 180 + i % 7 * 20, 90 + i % 5 * 15);
    if (a.kind == Annotation::Kind::text) {
        a.text = QStringLiteral("Note %1: check this").arg(i);
        a.rect.setHeight(36);
    }
    if (i % 10 == 3) {
        a.kind = Annotation::Kind::blur;
        a.rect = QRectF(x, y, 320, 160);
        a.blurShape = i % 20 == 3 ? Annotation::BlurShape::ellipse : Annotation::BlurShape::rect;
    }
    if (i % 10 == 7 && a.isBox())
        a.rotation = 0.4;
    return a;
}

AnnotationDoc busyDocument(bool withItems) {
    AnnotationDoc doc{busyScreenshot(), std::nullopt, {}};
    for (int i = 0; withItems && i < 50; ++i)
        doc.items.append(itemNumber(i));
    return doc;
}

void render(benchmark::State& state, bool withItems, std::optional<double> maxDimension) {
    const AnnotationDoc doc = busyDocument(withItems);
    for (auto _ : state)
        benchmark::DoNotOptimize(AnnotationRenderer::render(doc, maxDimension));
}

void sendMouse(QWidget& widget, QEvent::Type type, QPointF at) {
    QMouseEvent event(type, at, widget.mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

// One step of a drag: the pointer moves, the canvas moves the item and paints.
void repaintWhileDragging(benchmark::State& state, bool withItems) {
    AnnotationCanvasView canvas;
    canvas.resize(editorCanvas);
    canvas.show();
    // Only a mapped window paints.
    while (!canvas.testAttribute(Qt::WA_Mapped))
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    AnnotationDoc doc = busyDocument(withItems);
    if (!withItems)
        doc.items = {itemNumber(2)};
    canvas.setDocument(doc);
    canvas.setTool(AnnotationTool::select);
    QObject::connect(&canvas, &AnnotationCanvasView::itemsReplaced, &canvas,
                     [&canvas](const QList<Annotation>& items) {
                         AnnotationDoc moved = canvas.document();
                         moved.items = items;
                         canvas.setDocument(moved);
                     });
    const Annotation& grabbed = doc.items.last();
    const QPointF start = canvas.toWidgetPosition(canvas.viewport().imageToView(
        grabbed.rect.topLeft() + QPointF(0, grabbed.rect.height() / 2)));
    sendMouse(canvas, QEvent::MouseButtonPress, start);
    int step = 0;
    for (auto _ : state) {
        sendMouse(canvas, QEvent::MouseMove, start + QPointF(step % 40, step % 25));
        canvas.repaint();
        ++step;
    }
    sendMouse(canvas, QEvent::MouseButtonRelease, start);
}

struct Figure {
    const char* name;
    const char* measured;
    const char* baseline;
    const char* input;
};

const Figure figures[] = {
    {"render, maxDimension 3000", "render/items/3000", "render/bare/3000",
     "2880x1800, 50 items (5 blurs, 5 rotated)"},
    {"render, full size", "render/items/full", "render/bare/full",
     "2880x1800, 50 items (5 blurs, 5 rotated)"},
    {"canvas repaint while dragging", "repaint/items", "repaint/bare", "940x600 canvas"},
};

// Keeps the medians, to print the table of figures after the run.
class MedianReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> medians; // milliseconds

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.aggregate_name == "median")
                medians[run.run_name.function_name] =
                    run.GetAdjustedRealTime() * 1e3 /
                    benchmark::GetTimeUnitMultiplier(run.time_unit);
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

void printFigures(const MedianReporter& reporter) {
    std::printf("\ndevice pixel ratio %.1f (QT_SCALE_FACTOR=2 shows a high-density screen)\n",
                qApp->devicePixelRatio());
    std::printf("\n%-32s %12s %14s %8s  %s\n", "figure", "median ms", "baseline ms", "ratio",
                "input (baseline: same without items)");
    for (const Figure& f : figures) {
        const auto measured = reporter.medians.find(f.measured);
        const auto baseline = reporter.medians.find(f.baseline);
        if (measured == reporter.medians.end() || baseline == reporter.medians.end())
            continue;
        std::printf("%-32s %12.2f %14.2f %8.2f  %s\n", f.name, measured->second, baseline->second,
                    measured->second / baseline->second, f.input);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const std::optional<double> fullSize;
    for (auto* b : {benchmark::RegisterBenchmark("render/bare/3000", render, false, 3000.0),
                    benchmark::RegisterBenchmark("render/items/3000", render, true, 3000.0),
                    benchmark::RegisterBenchmark("render/bare/full", render, false, fullSize),
                    benchmark::RegisterBenchmark("render/items/full", render, true, fullSize),
                    benchmark::RegisterBenchmark("repaint/bare", repaintWhileDragging, false),
                    benchmark::RegisterBenchmark("repaint/items", repaintWhileDragging, true)})
        b->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printFigures(reporter);
    benchmark::Shutdown();
    return 0;
}
