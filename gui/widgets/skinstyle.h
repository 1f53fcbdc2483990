#pragma once

#include <QProxyStyle>

// The program's own look over Fusion: flat, gradient-filled push buttons, check boxes and radio
// buttons with a hover state, edit, drop-down and date frames, list headers and scroll bars drawn
// by the program, and pop-up menus with an icon column. Every window works the same without it.
class SkinStyle final : public QProxyStyle {
public:
    SkinStyle();

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override;
    void polish(QWidget* widget) override;
};

// What the main window, the new-user dialog and the statistics dialogs call when they are set up:
// the first call switches the look on for the rest of the run, later ones change nothing. With
// MINGZHANG_STYLE=plain in the environment the desktop's own look stays.
void requestSkin();
