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
    const std::optional<Shot>& shot() const { return shot_; }

    State state() const;
    const ImageLoader& loader() const { return loader_; }
    AnnotationWindowController& annotationController() { return annotationController_; }
    QPushButton* copyButton() const { return copy_; }
    QPushButton* copyTextButton() const { return copyText_; }
    QPushButton* lastButton() const { return open_; }

    // Lets go of the pictures while the pane is not shown; showing it again
    // loads the shot's picture anew.
    void releaseMemory();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void load();
    void showLoaderState();

    std::optional<Shot> shot_;
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
