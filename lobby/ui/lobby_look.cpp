// The lobby's shared look.
#include "lobby/ui/lobby_look.h"

#include <QLabel>
#include <QPalette>

namespace zrt {

namespace {

QFont SansFont(const QString& family, double points) {
    QFont font(family);
    font.setPixelSize(static_cast<int>(points * 96.0 / 72.0 + 0.5));
    font.setStyleHint(QFont::SansSerif);
    return font;
}

constexpr QPalette::ColorGroup kEnabledGroups[] = {QPalette::Active, QPalette::Inactive};

}  // namespace

QFont ArialFont(double points) {
    return SansFont(QStringLiteral("Arial"), points);
}

QFont MsSansSerifFont(double points) {
    return SansFont(QStringLiteral("MS Sans Serif"), points);
}

void SetDialogColours(QPalette& pal) {
    for (QPalette::ColorRole role : {QPalette::Window, QPalette::Button})
        pal.setColor(role, kDialogGrey);
    pal.setColor(QPalette::Base, Qt::black);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text}) {
        for (QPalette::ColorGroup group : kEnabledGroups) pal.setColor(group, role, Qt::white);
        pal.setColor(QPalette::Disabled, role, kDisabledTextGrey);
    }
}

void ApplyDialogLook(QWidget* widget) {
    QPalette pal = widget->palette();
    SetDialogColours(pal);
    widget->setPalette(pal);
    widget->setAutoFillBackground(true);
}

void SetTextOnBlack(QWidget* widget, const QColor& colour) {
    QPalette pal = widget->palette();
    for (QPalette::ColorRole role : {QPalette::Window, QPalette::Base})
        pal.setColor(role, Qt::black);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text}) {
        for (QPalette::ColorGroup group : kEnabledGroups) pal.setColor(group, role, colour);
        pal.setColor(QPalette::Disabled, role, kDisabledTextGrey);
    }
    widget->setPalette(pal);
}

void SetNoTitle(QWidget* window) {
    window->setWindowTitle(QStringLiteral(" "));
}

QLabel* ValueField(QWidget* parent, const QRect& rect, const QColor& colour) {
    auto* field = new QLabel(parent);
    field->setGeometry(rect);
    field->setAutoFillBackground(true);
    SetTextOnBlack(field, colour);
    return field;
}

QLabel* YellowOnBlackLabel(QWidget* parent, const QString& text, QPoint at) {
    auto* label = new QLabel(text, parent);
    label->setAutoFillBackground(true);
    SetTextOnBlack(label, kPaintedTextYellow);
    label->adjustSize();
    label->move(at);
    return label;
}

}  // namespace zrt
