#include "fieldcolors.h"

#include "syntaxcheck.h"

#include <QPalette>
#include <QTableWidgetItem>
#include <QWidget>

namespace FieldColors {

QColor errorColor() {
    return QColor(252, 200, 205);
}

QColor warningColor() {
    return QColor(254, 251, 151);
}

QString toolTip(int code) {
    return code == 0 ? QString() : QString::fromLatin1(SyntaxCheck::messageText(code));
}

void paint(QWidget* widget, int code) {
    if (!widget)
        return;
    if (code == 0) {
        clear(widget);
        return;
    }
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, SyntaxCheck::isError(code) ? errorColor() : warningColor());
    widget->setPalette(palette);
    widget->setToolTip(toolTip(code));
}

void clear(QWidget* widget) {
    if (!widget)
        return;
    // an empty palette resolves nothing: the widget shows its own palette again
    if (widget->testAttribute(Qt::WA_SetPalette))
        widget->setPalette(QPalette());
    if (!widget->toolTip().isEmpty())
        widget->setToolTip(QString());
}

void paint(QTableWidgetItem* item, int code) {
    if (!item)
        return;
    if (code == 0) {
        clear(item);
        return;
    }
    item->setBackground(SyntaxCheck::isError(code) ? errorColor() : warningColor());
    item->setToolTip(toolTip(code));
}

void clear(QTableWidgetItem* item) {
    if (!item)
        return;
    item->setBackground(QColor(Qt::transparent));
    item->setToolTip(QString());
}

QColor background(const QWidget* widget) {
    return widget ? widget->palette().color(QPalette::Base) : QColor();
}

} // namespace FieldColors
