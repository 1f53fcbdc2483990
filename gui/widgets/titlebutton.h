#pragma once

#include <QAbstractButton>
#include <QPixmap>

// A button of the main window's top strip ("?", "_", "X"): the size's own bitmap, highlighted
// while the mouse is over it, the highlight gone as soon as it leaves.
class TitleButton final : public QAbstractButton {
public:
    // `image` names the bitmaps: image + ".png" and image + "-hot.png"; without them the caption
    // is drawn.
    TitleButton(const QString& caption, const QString& image, QWidget* parent);

    bool highlighted() const { return m_hot; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QPixmap m_normal;
    QPixmap m_hotImage;
    bool m_hot = false;
};
