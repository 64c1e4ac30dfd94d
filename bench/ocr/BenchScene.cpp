#include "BenchScene.h"

#include "BenchVocabulary.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QTableWidget>
#include <QTextEdit>
#include <QToolBar>
#include <QVBoxLayout>

#include <memory>

QString BenchScene::name() const {
    static const char* const layouts[] = {"dialog", "window", "table", "article", "desktop"};
    return QStringLiteral("%1-%2-%3-%4x-%5px")
        .arg(QLatin1String(layouts[int(layout)]),
             language == Language::english ? QLatin1String("en") : QLatin1String("ja"),
             dark ? QLatin1String("dark") : QLatin1String("light"))
        .arg(scale)
        .arg(fontPx);
}

namespace BenchScenes {

QList<BenchScene> all() {
    QList<BenchScene> scenes;
    int seed = 1;
    for (auto layout :
         {BenchScene::Layout::dialog, BenchScene::Layout::mainWindow, BenchScene::Layout::table,
          BenchScene::Layout::article, BenchScene::Layout::desktop}) {
        for (auto language : {BenchScene::Language::english, BenchScene::Language::japanese}) {
            for (bool dark : {false, true}) {
                for (int scale : {1, 2}) {
                    for (int fontPx : {11, 15})
                        scenes.append({layout, language, dark, scale, fontPx, seed++});
                }
            }
        }
    }
    return scenes;
}

namespace {

// Draws words from the scene's vocabulary and remembers which ones were shown.
class WordPicker {
public:
    explicit WordPicker(const BenchScene& scene)
        : vocabulary_(scene.language == BenchScene::Language::english ? BenchVocabulary::english()
                                                                      : BenchVocabulary::japanese())
        , japanese_(scene.language == BenchScene::Language::japanese)
        , random_(quint32(scene.seed)) {}

    QString word() {
        const QString picked = vocabulary_.at(random_.bounded(int(vocabulary_.size())));
        if (!shown_.contains(picked))
            shown_.append(picked);
        return picked;
    }

    // A paragraph of vocabulary words held together by filler words or particles.
    QString paragraph(int wordCount) {
        static const QStringList englishGlue{" and ", " for the ", " with ", " in ", " of "};
        static const QStringList japaneseGlue{"の", "を", "と", "、", "は", "で"};
        const QStringList& glue = japanese_ ? japaneseGlue : englishGlue;
        QString text;
        for (int i = 0; i < wordCount; ++i) {
            text += japanese_ ? unbreakable(word()) : word();
            if (i + 1 == wordCount || i % 6 == 5)
                text += japanese_ ? QStringLiteral("。") : QStringLiteral(". ");
            else
                text += glue.at(random_.bounded(int(glue.size())));
        }
        return text;
    }

    int number(int limit) { return random_.bounded(limit); }

    // Japanese lines may break between any two characters; word joiners keep a
    // word on one line, so it stays findable in the picture.
    static QString unbreakable(const QString& word) {
        QString joined;
        for (QChar c : word) {
            if (!joined.isEmpty())
                joined += QChar(0x2060);
            joined += c;
        }
        return joined;
    }
    const QStringList& shown() const { return shown_; }

private:
    const QStringList& vocabulary_;
    bool japanese_;
    QRandomGenerator random_;
    QStringList shown_;
};

QPalette paletteFor(bool dark) {
    QPalette palette = QApplication::style()->standardPalette();
    if (!dark)
        return palette;
    const QColor window(0x2b, 0x2b, 0x2e), base(0x1e, 0x1e, 0x20), text(0xe6, 0xe6, 0xe6);
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::AlternateBase, window);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Button, QColor(0x3c, 0x3c, 0x40));
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::Highlight, QColor(0x2f, 0x65, 0xca));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    return palette;
}

QLineEdit* lineEditShowing(const QString& text) {
    auto* edit = new QLineEdit(text);
    edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(text) + 40);
    return edit;
}

// The default button of many desktops and web pages: white text on a saturated colour.
QPushButton* accentButton(const QString& text) {
    auto* button = new QPushButton(text);
    button->setStyleSheet(QStringLiteral("QPushButton { background-color: #2f6fd6; color: white; "
                                         "border-radius: 4px; padding: 4px 14px; }"));
    return button;
}

std::unique_ptr<QWidget> dialog(WordPicker& words) {
    auto widget = std::make_unique<QWidget>();
    auto* column = new QVBoxLayout(widget.get());
    auto* title = new QLabel(words.word());
    QFont titleFont = title->font();
    titleFont.setBold(true);
    titleFont.setPixelSize(titleFont.pixelSize() * 3 / 2);
    title->setFont(titleFont);
    column->addWidget(title);
    auto* form = new QFormLayout;
    form->addRow(words.word() + QStringLiteral(":"), lineEditShowing(words.word()));
    form->addRow(words.word() + QStringLiteral(":"), lineEditShowing(words.word()));
    auto* combo = new QComboBox;
    combo->addItem(words.word());
    form->addRow(words.word() + QStringLiteral(":"), combo);
    auto* spin = new QSpinBox;
    spin->setRange(0, 999);
    spin->setValue(words.number(999));
    form->addRow(words.word() + QStringLiteral(":"), spin);
    form->addRow(QString(), new QCheckBox(words.word()));
    form->addRow(QString(), new QCheckBox(words.word()));
    column->addLayout(form);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(new QPushButton(words.word()));
    buttons->addStretch();
    buttons->addWidget(new QPushButton(words.word()));
    buttons->addWidget(accentButton(words.word()));
    column->addLayout(buttons);
    return widget;
}

std::unique_ptr<QWidget> mainWindow(WordPicker& words) {
    auto window = std::make_unique<QMainWindow>();
    for (int i = 0; i < 5; ++i)
        window->menuBar()->addMenu(words.word());
    QToolBar* toolbar = window->addToolBar(QStringLiteral("tools"));
    toolbar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    for (int i = 0; i < 4; ++i)
        toolbar->addAction(words.word());
    auto* splitter = new QSplitter;
    auto* list = new QListWidget;
    for (int i = 0; i < 8; ++i)
        list->addItem(words.word());
    list->setCurrentRow(2);
    splitter->addWidget(list);
    auto* text = new QTextEdit;
    text->setPlainText(words.paragraph(24));
    splitter->addWidget(text);
    splitter->setSizes({220, 620});
    window->setCentralWidget(splitter);
    window->statusBar()->setSizeGripEnabled(false);
    window->statusBar()->addWidget(new QLabel(words.word() + QStringLiteral(" ") + words.word()));
    window->setMinimumSize(860, 460);
    return window;
}

std::unique_ptr<QWidget> table(WordPicker& words) {
    auto widget = std::make_unique<QTableWidget>(8, 4);
    QStringList headers;
    for (int i = 0; i < 4; ++i)
        headers << words.word();
    widget->setHorizontalHeaderLabels(headers);
    for (int row = 0; row < 8; ++row) {
        widget->setItem(row, 0, new QTableWidgetItem(words.word()));
        widget->setItem(row, 1, new QTableWidgetItem(words.word()));
        widget->setItem(row, 2, new QTableWidgetItem(QString::number(words.number(99999))));
        widget->setItem(row, 3, new QTableWidgetItem(words.word()));
    }
    widget->resizeColumnsToContents();
    widget->resizeRowsToContents();
    int width = widget->verticalHeader()->sizeHint().width() + 2 * widget->frameWidth();
    for (int column = 0; column < 4; ++column)
        width += widget->columnWidth(column);
    int height = widget->horizontalHeader()->sizeHint().height() + 2 * widget->frameWidth();
    for (int row = 0; row < 8; ++row)
        height += widget->rowHeight(row);
    widget->setFixedSize(width, height);
    return widget;
}

std::unique_ptr<QWidget> article(WordPicker& words) {
    auto widget = std::make_unique<QWidget>();
    widget->setFixedWidth(720);
    auto* column = new QVBoxLayout(widget.get());
    auto* heading = new QLabel(words.word() + QStringLiteral(" ") + words.word());
    QFont headingFont = heading->font();
    headingFont.setBold(true);
    headingFont.setPixelSize(headingFont.pixelSize() * 2);
    heading->setFont(headingFont);
    column->addWidget(heading);
    for (int i = 0; i < 2; ++i) {
        auto* paragraph = new QLabel(words.paragraph(18));
        paragraph->setWordWrap(true);
        column->addWidget(paragraph);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(new QPushButton(words.word()));
    buttons->addWidget(new QPushButton(words.word()));
    column->addLayout(buttons);
    return widget;
}

QLabel* sizedLabel(const QString& text, int sizePercent, bool bold) {
    auto* label = new QLabel(text);
    QFont font = label->font();
    font.setPixelSize(font.pixelSize() * sizePercent / 100);
    font.setBold(bold);
    label->setFont(font);
    return label;
}

// A top panel that stays dark in both themes, as on most Linux desktops.
QWidget* topPanel(WordPicker& words, int width) {
    auto* panel = new QWidget;
    panel->setObjectName(QStringLiteral("panel"));
    panel->setStyleSheet(
        QStringLiteral("#panel { background: #161616; } QLabel { color: #f0f0f0; }"));
    panel->setFixedSize(width, 30);
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(12, 0, 12, 0);
    row->addWidget(new QLabel(words.word()));
    row->addSpacing(24);
    row->addWidget(sizedLabel(words.word(), 100, true));
    row->addStretch();
    row->addWidget(new QLabel(QStringLiteral("%1:%2")
                                  .arg(words.number(24))
                                  .arg(words.number(60), 2, 10, QLatin1Char('0'))));
    row->addStretch();
    row->addWidget(new QLabel(words.word()));
    return panel;
}

// A window frame with a title bar over `content`.
QWidget* framedWindow(const QString& title, QWidget* content) {
    auto* frame = new QFrame;
    frame->setFrameShape(QFrame::Box);
    frame->setAutoFillBackground(true);
    auto* column = new QVBoxLayout(frame);
    column->setContentsMargins(1, 1, 1, 1);
    column->setSpacing(0);
    auto* titleBar = new QLabel(title);
    titleBar->setAlignment(Qt::AlignCenter);
    titleBar->setAutoFillBackground(true);
    titleBar->setBackgroundRole(QPalette::Button);
    titleBar->setMargin(6);
    QFont font = titleBar->font();
    font.setBold(true);
    titleBar->setFont(font);
    column->addWidget(titleBar);
    column->addWidget(content);
    return frame;
}

QWidget* browserContent(WordPicker& words) {
    auto* content = new QWidget;
    auto* row = new QHBoxLayout(content);
    auto* sidebar = new QListWidget;
    for (int i = 0; i < 7; ++i)
        sidebar->addItem(words.word());
    sidebar->setCurrentRow(1);
    sidebar->setFixedWidth(170);
    row->addWidget(sidebar);
    auto* page = new QVBoxLayout;
    page->addWidget(sizedLabel(words.word() + QStringLiteral(" ") + words.word(), 200, true));
    page->addWidget(sizedLabel(words.word(), 130, false));
    auto* text = new QLabel(words.paragraph(20));
    text->setWordWrap(true);
    page->addWidget(text);
    auto* search = new QHBoxLayout;
    search->addWidget(lineEditShowing(words.word()));
    search->addWidget(new QPushButton(words.word()));
    page->addLayout(search);
    page->addWidget(sizedLabel(words.word() + QStringLiteral(" ") + words.word(), 85, false));
    page->addStretch();
    row->addLayout(page);
    return content;
}

QWidget* messageContent(WordPicker& words) {
    auto* content = new QWidget;
    auto* column = new QVBoxLayout(content);
    column->addWidget(sizedLabel(words.word(), 120, true));
    auto* text = new QLabel(words.paragraph(8));
    text->setWordWrap(true);
    column->addWidget(text);
    column->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(new QPushButton(words.word()));
    buttons->addWidget(accentButton(words.word()));
    column->addLayout(buttons);
    return content;
}

// A whole screen: a dark top panel, a large window and a message box side by
// side on a gradient, so every word stays visible.
std::unique_ptr<QWidget> desktop(WordPicker& words) {
    constexpr int width = 1280, height = 720;
    auto screen = std::make_unique<QWidget>();
    screen->setObjectName(QStringLiteral("screen"));
    screen->setStyleSheet(QStringLiteral(
        "#screen { background: qlineargradient(x1:0, y1:0, x2:1, y2:1, stop:0 #3a6073, stop:1 "
        "#16222a); }"));
    screen->setFixedSize(width, height);
    QWidget* panel = topPanel(words, width);
    panel->setParent(screen.get());
    QWidget* browser = framedWindow(words.word(), browserContent(words));
    browser->setParent(screen.get());
    browser->setGeometry(40, 60, 780, 600);
    QWidget* message = framedWindow(words.word(), messageContent(words));
    message->setParent(screen.get());
    message->setGeometry(860, 220, 380, 260);
    return screen;
}

std::unique_ptr<QWidget> build(const BenchScene& scene, WordPicker& words) {
    switch (scene.layout) {
    case BenchScene::Layout::dialog:
        return dialog(words);
    case BenchScene::Layout::mainWindow:
        return mainWindow(words);
    case BenchScene::Layout::table:
        return table(words);
    case BenchScene::Layout::article:
        return article(words);
    case BenchScene::Layout::desktop:
        return desktop(words);
    }
    return {};
}

QFont fontFor(const BenchScene& scene) {
    QFont font(scene.language == BenchScene::Language::japanese ? QStringLiteral("Noto Sans CJK JP")
                                                                : QStringLiteral("DejaVu Sans"));
    font.setPixelSize(scene.fontPx);
    return font;
}

} // namespace

RenderedScene render(const BenchScene& scene) {
    // Fonts and palettes are set on the application so every widget, including
    // menus and headers created lazily, picks them up.
    QApplication::setFont(fontFor(scene));
    QApplication::setPalette(paletteFor(scene.dark));
    WordPicker words(scene);
    std::unique_ptr<QWidget> widget = build(scene, words);
    widget->setAttribute(Qt::WA_DontShowOnScreen);
    widget->show();
    widget->adjustSize();
    QImage image(widget->size() * scene.scale, QImage::Format_RGB32);
    image.setDevicePixelRatio(scene.scale);
    image.fill(widget->palette().color(QPalette::Window));
    widget->render(&image);
    image.setDevicePixelRatio(1);
    return {image, words.shown()};
}

} // namespace BenchScenes
