#pragma once

// How the editor marks a field by the result of its check: the normal look for 0, a light red
// background for an error code (below 1000), a light yellow one for a warning code, and the
// message of the code as tool tip.

#include <QColor>

class QTableWidgetItem;
class QWidget;

namespace FieldColors {

QColor errorColor();   // RGB 252,200,205
QColor warningColor(); // RGB 254,251,151

// the message text of a code, empty for 0
QString toolTip(int code);

// background and tool tip of an editor widget
void paint(QWidget* widget, int code);
// back to the widget's own palette, no tool tip
void clear(QWidget* widget);
// background and tool tip of a pattern table cell (normal: transparent)
void paint(QTableWidgetItem* item, int code);
void clear(QTableWidgetItem* item);

// the background a widget shows now (for the colour of a cell use its background brush)
QColor background(const QWidget* widget);

} // namespace FieldColors
