#pragma once

class QWidget;

namespace hc {

// Draws the widget's selection only while the widget has the focus: without it, selected text
// and rows take the colours of unselected ones. The widget's palette at this call holds the
// colours used with the focus.
void hide_selection_without_focus(QWidget& widget);

}  // namespace hc
