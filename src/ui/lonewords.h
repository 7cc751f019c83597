#pragma once

#include <QString>

class QFont;
class QLabel;

// A short wrapped text that ends on a word alone ("Coming / soon.") reads
// as a leftover; wrapped a little narrower, two words end it.
namespace LoneWords {

// The widest width up to width at which text, wrapped at word boundaries,
// keeps its number of lines and doesn't end on a lone word; width itself
// when it doesn't end on one, or no narrower width helps.
int width(const QString &text, const QFont &font, int width);

// Wraps label's text at that width whenever the label is resized, through
// its contents margins, so that it stays a plain, selectable label. Call
// again after changing the label's text.
void avoid(QLabel *label);

} // namespace LoneWords
