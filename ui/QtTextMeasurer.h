#pragma once

#include "commands/TextMeasurer.h"

#include <QFontMetrics>
#include <QStyle>

namespace tarnwick {

// Widths of texts in a table view's font. The fitted width adds 5 pixels of padding; a view cell
// insets its text by the style's margins, so whatever those take beyond the 5 pixels is counted
// with the text, and a fitted column shows its widest text whole.
class QtTextMeasurer : public TextMeasurer {
public:
    explicit QtTextMeasurer(const QFont& font, int extraMargin = 0)
        : metrics_(font), extraMargin_(extraMargin) {}
    int textWidth(std::string_view text) const override;

private:
    QFontMetrics metrics_;
    int extraMargin_;
};

// The margin a QTableView's cells need beyond the fitting's own padding, in the given style.
int cellMarginBeyondPadding(const QStyle* style);

} // namespace tarnwick
