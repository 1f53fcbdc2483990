#include "gui/widgets/titlebutton.h"

#include <QPainter>

TitleButton::TitleButton(const QString& caption, const QString& image, QWidget* parent)
    : QAbstractButton(parent), m_normal(image + QStringLiteral(".png")),
      m_hotImage(image + QStringLiteral("-hot.png")) {
    setText(caption);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::ArrowCursor);
}

void TitleButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPixmap& image = m_hot && !m_hotImage.isNull() ? m_hotImage : m_normal;
    if (!image.isNull()) {
        painter.drawPixmap(rect(), image);
        return;
    }
    if (m_hot) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(255, 255, 255, 90));
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    }
    QFont bold = font();
    bold.setBold(true);
    painter.setFont(bold);
    painter.setPen(Qt::white);
    painter.drawText(rect().translated(isDown() ? 1 : 0, isDown() ? 1 : 0), Qt::AlignCenter, text());
}

void TitleButton::enterEvent(QEnterEvent*) {
    m_hot = true;
    update();
}

void TitleButton::leaveEvent(QEvent*) {
    m_hot = false;
    update();
}
