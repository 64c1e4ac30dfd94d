#pragma once

#include "AnnotationWindowController.h"
#include "ImageLoader.h"
#include "Shot.h"

#include <QWidget>

#include <optional>

class QLabel;
class QPushButton;
class QStackedLayout;
class PreviewImage;

// The right pane of the library: the selected shot as large as the pane allows,
// with Copy, Copy Text, Annotate…, Show in Folder and Open below it; a hint when nothing
// is selected.
class PreviewPane : public QWidget {
    Q_OBJECT

public:
    enum class State { placeholder, loading, image, failed };

    // The preview is asked for at this many points on its longer edge.
    static constexpr double previewEdge = 1400;

    explicit PreviewPane(QWidget* parent = nullptr);

    void setShot(const std::optional<Shot>& shot);
    // The words of the search that listed the shots, whose places the picture marks.
    void setSearched(const QStringList& words);
    const std::optional<Shot>& shot() const { return shot_; }

    State state() const;
    const ImageLoader& loader() const { return loader_; }
    AnnotationWindowController& annotationController() { return annotationController_; }
    QPushButton* copyButton() const { return copy_; }
    QPushButton* copyTextButton() const { return copyText_; }
    const PreviewImage* image() const { return image_; }
    QPushButton* lastButton() const { return open_; }

    // Lets go of the pictures while the pane is not shown; showing it again
    // loads the shot's picture anew.
    void releaseMemory();

Q_SIGNALS:
    // The latest look-up of the searched words' places has ended, with or without marks.
    void marksLookedUp();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void load();
    void loadMarks();
    void showLoaderState();
    void showMarks();

    std::optional<Shot> shot_;
    QStringList searched_;
    // The places of the searched words in the shot's file, its size, and the
    // generation of the look-up that found them: only the latest one shows.
    QList<QRect> marks_;
    QSize markedPictureSize_;
    quint64 marksGeneration_ = 0;
    ImageLoader loader_;
    AnnotationWindowController annotationController_;
    QStackedLayout* pages_ = nullptr;
    QStackedLayout* imageStates_ = nullptr;
    PreviewImage* image_ = nullptr;
    QWidget* placeholderPage_ = nullptr;
    QWidget* shotPage_ = nullptr;
    QWidget* busy_ = nullptr;
    QWidget* failure_ = nullptr;
    QPushButton* copy_ = nullptr;
    QPushButton* copyText_ = nullptr;
    QPushButton* open_ = nullptr;
};
