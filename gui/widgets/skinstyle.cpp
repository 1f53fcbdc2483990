#include "gui/widgets/skinstyle.h"

#include "gui/widgets/skinmetrics.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QComboBox>
#include <QFontDatabase>
#include <QHeaderView>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleFactory>
#include <QStyleOption>
#include <QTextEdit>

#include <array>

namespace {

// What is drawn, and in which state: the first matching state wins, in this order.
enum class Face { PushBody, PushInner, CheckBody, DropButton, ScrollButton, ScrollThumb, Header, MenuHighlight };
enum class Look { Disabled, Pressed, Hot, Ticked, Focused, Normal };

struct Gradient {
    Face face;
    Look look;
    QColor top;
    QColor bottom;
    QColor topRight; // where the top colour changes across the width; invalid: it does not
};

// Every gradient of the look in one table. A face without a row for a state takes its Normal row.
const Gradient GRADIENTS[] = {
    {Face::PushBody, Look::Pressed, {209, 204, 193}, {242, 241, 238}, {}},
    {Face::PushBody, Look::Hot, {255, 240, 207}, {229, 151, 0}, {}},
    {Face::PushBody, Look::Ticked, {214, 203, 189}, {247, 243, 239}, {214, 207, 198}},
    {Face::PushBody, Look::Focused, {206, 231, 255}, {105, 130, 238}, {}},
    {Face::PushBody, Look::Normal, {255, 255, 255}, {226, 223, 214}, {}},
    {Face::PushInner, Look::Pressed, {231, 227, 222}, {231, 231, 231}, {}},
    {Face::PushInner, Look::Ticked, {231, 227, 222}, {231, 231, 231}, {}},
    {Face::PushInner, Look::Normal, {252, 252, 251}, {236, 235, 230}, {}},
    // Check boxes and radio buttons share their body.
    {Face::CheckBody, Look::Pressed, {176, 176, 167}, {241, 239, 226}, {}},
    {Face::CheckBody, Look::Hot, {255, 240, 207}, {248, 179, 48}, {}},
    {Face::CheckBody, Look::Normal, {220, 220, 215}, {255, 255, 255}, {}},
    {Face::CheckBody, Look::Disabled, {255, 255, 255}, {255, 255, 255}, {}},
    // The arrow button of drop-downs and date pickers.
    {Face::DropButton, Look::Pressed, {110, 142, 241}, {210, 222, 235}, {}},
    {Face::DropButton, Look::Hot, {253, 255, 255}, {185, 218, 251}, {}},
    {Face::DropButton, Look::Normal, {220, 232, 255}, {174, 199, 246}, {}},
    {Face::DropButton, Look::Disabled, {245, 244, 234}, {245, 244, 234}, {}},
    {Face::ScrollButton, Look::Pressed, {110, 142, 241}, {210, 222, 235}, {}},
    {Face::ScrollButton, Look::Hot, {253, 255, 255}, {185, 218, 251}, {}},
    {Face::ScrollButton, Look::Normal, {225, 234, 254}, {190, 210, 250}, {}},
    {Face::ScrollButton, Look::Disabled, {245, 244, 234}, {245, 244, 234}, {}},
    {Face::ScrollThumb, Look::Pressed, {170, 195, 245}, {200, 215, 250}, {}},
    {Face::ScrollThumb, Look::Hot, {235, 242, 255}, {200, 218, 252}, {}},
    {Face::ScrollThumb, Look::Normal, {212, 225, 252}, {188, 206, 248}, {}},
    {Face::Header, Look::Pressed, {222, 223, 216}, {222, 223, 216}, {}},
    {Face::Header, Look::Normal, {255, 255, 255}, {235, 234, 219}, {}},
    {Face::MenuHighlight, Look::Normal, {252, 241, 216}, {246, 210, 140}, {}},
};

const Gradient& gradientOf(Face face, Look look) {
    const Gradient* normal = nullptr;
    for (const Gradient& gradient : GRADIENTS) {
        if (gradient.face != face)
            continue;
        if (gradient.look == look)
            return gradient;
        if (gradient.look == Look::Normal)
            normal = &gradient;
    }
    return *normal;
}

const QColor FRAME(0, 60, 115);
const QColor CORNER_DARK(82, 125, 165);
const QColor CORNER_LIGHT(123, 150, 173);
const QColor DISABLED_BODY(245, 244, 234);
const QColor DISABLED_CAPTION(165, 162, 148);
const QColor CHECK_FRAME(24, 81, 132);
const QColor TICK(33, 162, 33);
const QColor DISABLED_TICK(206, 203, 189);
const QColor EDIT_FRAME(123, 158, 189);
const QColor ARROW(77, 97, 133);
const QColor SCROLL_TRACK(243, 241, 236);
const QColor HEADER_LINE(214, 210, 194);
const QColor HEADER_SEPARATOR(199, 197, 178);
const QColor MENU_GUTTER(241, 239, 229);
const QColor MENU_FRAME(138, 134, 122);
const QColor MENU_SEPARATOR(197, 194, 184);
const QColor MENU_HIGHLIGHT_FRAME(229, 151, 0);

bool enabled(const QStyleOption* option) { return option->state & QStyle::State_Enabled; }

// The button face of the palette darkened by 32 on each channel, for disabled frames.
QColor disabledFrame(const QStyleOption* option) {
    const QColor face = option->palette.color(QPalette::Button);
    return QColor(std::max(face.red() - 32, 0), std::max(face.green() - 32, 0), std::max(face.blue() - 32, 0));
}

Look buttonLook(const QStyleOption* option, bool isDefault = false) {
    const QStyle::State state = option->state;
    if (!(state & QStyle::State_Enabled))
        return Look::Disabled;
    if (state & QStyle::State_Sunken)
        return Look::Pressed;
    if (state & QStyle::State_MouseOver)
        return Look::Hot;
    if (state & (QStyle::State_On | QStyle::State_NoChange))
        return Look::Ticked;
    if ((state & QStyle::State_HasFocus) || isDefault)
        return Look::Focused;
    return Look::Normal;
}

// A vertical gradient over `rect`; with a top that changes across, the top row runs across.
void fill(QPainter* painter, const QRect& rect, const Gradient& gradient) {
    if (rect.isEmpty())
        return;
    QLinearGradient down(rect.topLeft(), rect.bottomLeft());
    down.setColorAt(0, gradient.top);
    down.setColorAt(1, gradient.bottom);
    painter->fillRect(rect, down);
    if (gradient.topRight.isValid()) {
        QLinearGradient across(rect.topLeft(), rect.topRight());
        across.setColorAt(0, gradient.top);
        across.setColorAt(1, gradient.topRight);
        painter->fillRect(QRect(rect.left(), rect.top(), rect.width(), 1), across);
    }
}

void frame(QPainter* painter, const QRect& rect, const QColor& colour) {
    painter->setPen(colour);
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(rect.adjusted(0, 0, -1, -1));
}

void arrow(QPainter* painter, const QRect& rect, Qt::ArrowType direction, const QColor& colour) {
    const QPoint c = rect.center();
    const int s = std::max(2, std::min(rect.width(), rect.height()) / 4);
    QPolygon triangle;
    switch (direction) {
    case Qt::UpArrow:
        triangle << QPoint(c.x() - s, c.y() + s / 2) << QPoint(c.x() + s, c.y() + s / 2)
                 << QPoint(c.x(), c.y() - s / 2 - 1);
        break;
    case Qt::DownArrow:
        triangle << QPoint(c.x() - s, c.y() - s / 2) << QPoint(c.x() + s, c.y() - s / 2)
                 << QPoint(c.x(), c.y() + s / 2 + 1);
        break;
    case Qt::LeftArrow:
        triangle << QPoint(c.x() + s / 2, c.y() - s) << QPoint(c.x() + s / 2, c.y() + s)
                 << QPoint(c.x() - s / 2 - 1, c.y());
        break;
    default:
        triangle << QPoint(c.x() - s / 2, c.y() - s) << QPoint(c.x() - s / 2, c.y() + s)
                 << QPoint(c.x() + s / 2 + 1, c.y());
        break;
    }
    painter->setPen(Qt::NoPen);
    painter->setBrush(colour);
    painter->drawPolygon(triangle);
}

void drawPushButton(QPainter* painter, const QStyleOption* option) {
    const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option);
    const bool isDefault = button && (button->features & QStyleOptionButton::DefaultButton);
    const Look look = buttonLook(option, isDefault);
    const QRect outer = option->rect;
    frame(painter, outer, option->palette.color(QPalette::Button));
    const QRect edge = outer.adjusted(1, 1, -1, -1);
    const QColor edgeColour = look == Look::Disabled ? disabledFrame(option) : FRAME;
    frame(painter, edge, edgeColour);
    const QRect body = outer.adjusted(2, 2, -2, -2);
    if (look == Look::Disabled) {
        painter->fillRect(body, DISABLED_BODY);
    } else {
        fill(painter, body, gradientOf(Face::PushBody, look));
        fill(painter, body.adjusted(2, 2, -2, -2), gradientOf(Face::PushInner, look));
    }
    // Rounded corners, a pixel at a time.
    const QColor dark = look == Look::Disabled ? disabledFrame(option) : CORNER_DARK;
    const QColor light = look == Look::Disabled ? option->palette.color(QPalette::Button) : CORNER_LIGHT;
    const QRect e = edge.adjusted(0, 0, -1, -1);
    for (const QPoint corner : {e.topLeft(), e.topRight(), e.bottomLeft(), e.bottomRight()}) {
        painter->setPen(light);
        painter->drawPoint(corner);
        const QPoint in(corner.x() == e.left() ? 1 : -1, corner.y() == e.top() ? 1 : -1);
        painter->setPen(dark);
        painter->drawPoint(corner + in);
    }
}

void drawCheckBox(QPainter* painter, const QStyleOption* option, bool round) {
    const QRect box(option->rect.left(), option->rect.center().y() - 6, 13, 13);
    const Look look = buttonLook(option);
    const Look bodyLook = look == Look::Ticked || look == Look::Focused ? Look::Normal : look;
    const QColor edge = look == Look::Disabled ? disabledFrame(option) : CHECK_FRAME;
    const Gradient& body = gradientOf(Face::CheckBody, bodyLook);
    const QColor mark = look == Look::Disabled ? DISABLED_TICK : TICK;
    painter->save();
    if (round) {
        painter->setRenderHint(QPainter::Antialiasing);
        QLinearGradient down(box.topLeft(), box.bottomLeft());
        down.setColorAt(0, body.top);
        down.setColorAt(1, body.bottom);
        painter->setPen(edge);
        painter->setBrush(down);
        painter->drawEllipse(QRectF(box).adjusted(0.5, 0.5, -0.5, -0.5));
        if (option->state & QStyle::State_On) {
            painter->setPen(Qt::NoPen);
            painter->setBrush(mark);
            painter->drawEllipse(QRectF(box.center().x() - 2.0, box.center().y() - 2.0, 5, 5));
        }
    } else {
        frame(painter, box, edge);
        fill(painter, box.adjusted(1, 1, -1, -1), body);
        if (option->state & QStyle::State_NoChange) {
            painter->fillRect(QRect(box.left() + 3, box.top() + 3, 7, 7), mark);
        } else if (option->state & QStyle::State_On) {
            // A seven-pixel-wide tick, three pixels high at every column.
            painter->setPen(mark);
            const int x = box.left() + 3, y = box.top() + 5;
            const int drop[7] = {0, 1, 2, 1, 0, -1, -2};
            for (int i = 0; i < 7; ++i)
                painter->drawLine(x + i, y + drop[i], x + i, y + drop[i] + 2);
        }
    }
    painter->restore();
}

// The edit frame: one pixel in the edit colour and, inside it, the face colour where nothing can
// be typed, else the window colour.
void drawEditFrame(QPainter* painter, const QStyleOption* option, bool readOnly) {
    const bool off = !enabled(option) || readOnly;
    frame(painter, option->rect, enabled(option) ? EDIT_FRAME : disabledFrame(option));
    frame(painter, option->rect.adjusted(1, 1, -1, -1),
          off ? option->palette.color(QPalette::Button) : option->palette.color(QPalette::Base));
}

bool isTextBox(const QWidget* widget) {
    return qobject_cast<const QPlainTextEdit*>(widget) || qobject_cast<const QTextEdit*>(widget);
}

// The font of list headers: 新宋体 where it is installed, else a CJK serif, else the program's.
QFont headerFont(const QFont& fallback) {
    static const QString family = [] {
        const QStringList families = QFontDatabase::families();
        for (const QString& wanted : {QStringLiteral("新宋体"), QStringLiteral("NSimSun")})
            if (families.contains(wanted))
                return wanted;
        for (const QString& name : families)
            if (name.contains(QLatin1String("Serif CJK")) || name.contains(QLatin1String("Ming")) ||
                name.contains(QLatin1String("Song")))
                return name;
        return QString();
    }();
    QFont font = fallback;
    if (!family.isEmpty())
        font.setFamilies({family});
    return font;
}

Look scrollPartLook(const QStyleOptionSlider* bar, QStyle::SubControl part) {
    if (!(bar->state & QStyle::State_Enabled))
        return Look::Disabled;
    if ((bar->activeSubControls & part) && (bar->state & QStyle::State_Sunken))
        return Look::Pressed;
    if ((bar->activeSubControls & part) && (bar->state & QStyle::State_MouseOver))
        return Look::Hot;
    return Look::Normal;
}

} // namespace

SkinStyle::SkinStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

void SkinStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                              const QWidget* widget) const {
    switch (element) {
    case PE_PanelButtonCommand:
        drawPushButton(painter, option);
        return;
    case PE_IndicatorCheckBox:
        drawCheckBox(painter, option, false);
        return;
    case PE_IndicatorRadioButton:
        drawCheckBox(painter, option, true);
        return;
    case PE_FrameFocusRect: {
        QPen dotted(option->palette.color(QPalette::WindowText), 1, Qt::DotLine);
        painter->save();
        painter->setPen(dotted);
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
        painter->restore();
        return;
    }
    case PE_PanelLineEdit: {
        const auto* edit = qstyleoption_cast<const QStyleOptionFrame*>(option);
        if (edit && edit->lineWidth > 0) {
            painter->fillRect(option->rect.adjusted(2, 2, -2, -2), option->palette.color(QPalette::Base));
            drawEditFrame(painter, option, option->state & State_ReadOnly);
            return;
        }
        break;
    }
    case PE_FrameLineEdit:
        drawEditFrame(painter, option, option->state & State_ReadOnly);
        return;
    case PE_Frame:
        if (isTextBox(widget) || qobject_cast<const QAbstractScrollArea*>(widget)) {
            const auto* box = qobject_cast<const QPlainTextEdit*>(widget);
            drawEditFrame(painter, option, box && box->isReadOnly());
            return;
        }
        break;
    case PE_PanelMenu:
        painter->fillRect(option->rect, Qt::white);
        frame(painter, option->rect, MENU_FRAME);
        return;
    case PE_FrameMenu:
        frame(painter, option->rect, MENU_FRAME);
        return;
    default:
        break;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void SkinStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                            const QWidget* widget) const {
    switch (element) {
    case CE_PushButtonLabel:
        if (const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option)) {
            QStyleOptionButton label = *button;
            const bool grey = !enabled(option) || (option->state & State_NoChange);
            label.palette.setColor(QPalette::ButtonText, grey ? DISABLED_CAPTION : QColor(Qt::black));
            if (option->state & State_Sunken)
                label.rect.translate(1, 1);
            QProxyStyle::drawControl(element, &label, painter, widget);
            return;
        }
        break;
    case CE_HeaderSection: {
        const QRect r = option->rect;
        fill(painter, r, gradientOf(Face::Header, (option->state & State_Sunken) ? Look::Pressed : Look::Normal));
        painter->setPen(Qt::white); // left cap
        painter->drawLine(r.topLeft(), r.bottomLeft());
        painter->setPen(HEADER_SEPARATOR); // right cap
        painter->drawLine(r.right(), r.top() + 3, r.right(), r.bottom() - 3);
        painter->setPen(HEADER_LINE);
        painter->drawLine(r.bottomLeft(), r.bottomRight());
        return;
    }
    case CE_MenuItem:
        if (const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option)) {
            const QRect r = option->rect;
            const int gutter = item->maxIconWidth > 0 ? item->maxIconWidth + 8 : 24;
            painter->fillRect(r, Qt::white);
            painter->fillRect(QRect(r.left(), r.top(), gutter, r.height()), MENU_GUTTER);
            if (item->menuItemType == QStyleOptionMenuItem::Separator) {
                painter->setPen(MENU_SEPARATOR);
                painter->drawLine(r.left() + gutter + 4, r.center().y(), r.right() - 4, r.center().y());
                return;
            }
            const bool on = enabled(option) && (option->state & State_Selected);
            if (on) {
                const QRect highlight = r.adjusted(1, 0, -2, -1);
                fill(painter, highlight, gradientOf(Face::MenuHighlight, Look::Normal));
                frame(painter, highlight.adjusted(0, 0, 1, 1), MENU_HIGHLIGHT_FRAME);
            }
            const QRect iconColumn(r.left(), r.top(), gutter, r.height());
            if (!item->icon.isNull()) {
                const int size = pixelMetric(PM_SmallIconSize, option, widget);
                item->icon.paint(
                    painter, QRect(iconColumn.center().x() - size / 2, iconColumn.center().y() - size / 2, size, size),
                    Qt::AlignCenter, enabled(option) ? QIcon::Normal : QIcon::Disabled);
            } else if (item->checked) {
                QStyleOption tick = *option;
                tick.rect = QRect(iconColumn.center().x() - 6, iconColumn.center().y() - 6, 13, 13);
                tick.state |= State_On;
                drawCheckBox(painter, &tick, item->checkType == QStyleOptionMenuItem::Exclusive);
            }
            QString text = item->text;
            QString shortcut;
            if (const qsizetype tab = text.indexOf(QLatin1Char('\t')); tab >= 0) {
                shortcut = text.mid(tab + 1);
                text = text.left(tab);
            }
            painter->setPen(enabled(option) ? QColor(Qt::black) : DISABLED_CAPTION);
            painter->setFont(item->font);
            const QRect textRect = r.adjusted(gutter + 6, 0, -20, 0);
            const int flags = Qt::AlignVCenter | Qt::TextShowMnemonic | Qt::TextSingleLine;
            painter->drawText(textRect, flags | Qt::AlignLeft, text);
            if (!shortcut.isEmpty())
                painter->drawText(textRect, flags | Qt::AlignRight, shortcut);
            if (item->menuItemType == QStyleOptionMenuItem::SubMenu)
                arrow(painter, QRect(r.right() - 16, r.top(), 12, r.height()), Qt::RightArrow,
                      enabled(option) ? QColor(Qt::black) : DISABLED_CAPTION);
            return;
        }
        break;
    case CE_MenuEmptyArea:
        painter->fillRect(option->rect, Qt::white);
        return;
    default:
        break;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

void SkinStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                                   const QWidget* widget) const {
    if (control == CC_ComboBox) {
        if (const auto* combo = qstyleoption_cast<const QStyleOptionComboBox*>(option)) {
            painter->save();
            const QRect r = option->rect;
            painter->fillRect(r.adjusted(1, 1, -1, -1), enabled(option) ? option->palette.color(QPalette::Base)
                                                                        : option->palette.color(QPalette::Button));
            frame(painter, r, enabled(option) ? EDIT_FRAME : disabledFrame(option));
            QRect button = subControlRect(CC_ComboBox, option, SC_ComboBoxArrow, widget).adjusted(0, 1, -1, -1);
            button.setLeft(std::max(button.left(), r.right() - r.height() + 2));
            Look look = Look::Normal;
            if (!enabled(option))
                look = Look::Disabled;
            else if ((option->state & State_Sunken) || (option->state & State_On))
                look = Look::Pressed;
            else if (option->state & State_MouseOver)
                look = Look::Hot;
            fill(painter, button, gradientOf(Face::DropButton, look));
            arrow(painter, button, Qt::DownArrow, enabled(option) ? ARROW : DISABLED_CAPTION);
            if (!combo->editable && (option->state & State_HasFocus)) {
                QStyleOptionFocusRect focus;
                focus.QStyleOption::operator=(*option);
                focus.rect = subControlRect(CC_ComboBox, option, SC_ComboBoxEditField, widget).adjusted(1, 1, -1, -1);
                drawPrimitive(PE_FrameFocusRect, &focus, painter, widget);
            }
            painter->restore();
            return;
        }
    }
    if (control == CC_ScrollBar) {
        if (const auto* bar = qstyleoption_cast<const QStyleOptionSlider*>(option)) {
            painter->save();
            const bool vertical = bar->orientation == Qt::Vertical;
            painter->fillRect(option->rect, SCROLL_TRACK);
            const auto part = [&](SubControl sub, Face face, Qt::ArrowType direction) {
                const QRect r = subControlRect(CC_ScrollBar, option, sub, widget);
                if (r.isEmpty())
                    return;
                const Look look = scrollPartLook(bar, sub);
                fill(painter, r.adjusted(1, 1, -1, -1), gradientOf(face, look));
                frame(painter, r, look == Look::Disabled ? disabledFrame(option) : EDIT_FRAME);
                if (face == Face::ScrollButton) {
                    arrow(painter, r, direction, look == Look::Disabled ? DISABLED_CAPTION : ARROW);
                } else if ((vertical ? r.height() : r.width()) > 12) { // the thumb's grip
                    painter->setPen(EDIT_FRAME);
                    const QPoint c = r.center();
                    for (int i = -2; i <= 2; i += 2)
                        vertical ? painter->drawLine(c.x() - 2, c.y() + i, c.x() + 2, c.y() + i)
                                 : painter->drawLine(c.x() + i, c.y() - 2, c.x() + i, c.y() + 2);
                }
            };
            part(SC_ScrollBarSubLine, Face::ScrollButton, vertical ? Qt::UpArrow : Qt::LeftArrow);
            part(SC_ScrollBarAddLine, Face::ScrollButton, vertical ? Qt::DownArrow : Qt::RightArrow);
            if (bar->maximum > bar->minimum)
                part(SC_ScrollBarSlider, Face::ScrollThumb, Qt::NoArrow);
            painter->restore();
            return;
        }
    }
    QProxyStyle::drawComplexControl(control, option, painter, widget);
}

int SkinStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const {
    switch (metric) {
    case PM_IndicatorWidth:
    case PM_IndicatorHeight:
    case PM_ExclusiveIndicatorWidth:
    case PM_ExclusiveIndicatorHeight:
        return 13;
    case PM_CheckBoxLabelSpacing: // the caption starts 18 pixels from the left
    case PM_RadioButtonLabelSpacing:
        return 5;
    case PM_ScrollBarExtent:
        return skinMetrics().scrollBarExtent;
    case PM_ScrollBarSliderMin:
        return 2 * skinMetrics().scrollBarExtent;
    case PM_MenuPanelWidth:
        return 1;
    case PM_ButtonShiftHorizontal:
    case PM_ButtonShiftVertical:
        return 0; // the label moves itself while pressed
    default:
        break;
    }
    return QProxyStyle::pixelMetric(metric, option, widget);
}

QSize SkinStyle::sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                                  const QWidget* widget) const {
    QSize result = QProxyStyle::sizeFromContents(type, option, size, widget);
    switch (type) {
    case CT_HeaderSection:
        result.setHeight(skinMetrics().headerHeight);
        break;
    case CT_MenuItem:
        if (const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option))
            if (item->menuItemType != QStyleOptionMenuItem::Separator) {
                result.rwidth() += 24;
                result.setHeight(std::max(result.height(), 22));
            }
        break;
    default:
        break;
    }
    return result;
}

void SkinStyle::polish(QWidget* widget) {
    QProxyStyle::polish(widget);
    // The hot state follows the mouse.
    if (qobject_cast<QAbstractButton*>(widget) || qobject_cast<QComboBox*>(widget) ||
        qobject_cast<QScrollBar*>(widget) || qobject_cast<QHeaderView*>(widget))
        widget->setAttribute(Qt::WA_Hover, true);
    if (auto* header = qobject_cast<QHeaderView*>(widget))
        header->setFont(headerFont(header->font()));
}

void requestSkin() {
    static bool requested = false;
    if (requested)
        return;
    requested = true;
    if (qEnvironmentVariable("MINGZHANG_STYLE") == QLatin1String("plain"))
        return;
    QApplication::setStyle(new SkinStyle);
}
