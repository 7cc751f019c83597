#pragma once

#include <QString>

class QFont;
class QLabel;

// Where a wrapped label breaks its lines. A short text that ends on a word
// alone ("Coming / soon.") reads as a leftover, and a centred one whose
// last line is a stub looks unfinished: wrapped a little narrower, both
// read as meant. The labels stay plain QLabels (selectable, as they were).
namespace TextWrap {

// How a label's lines are kept.
enum class Lines {
    // The last line never holds a word alone.
    NoLoneWord,
    // Every line about as long as the others, in as few lines.
    Balanced,
};

// The width at most width that text, wrapped at word boundaries, is laid
// in for lines; width itself when nothing narrower helps.
int width(const QString &text, const QFont &font, int width, Lines lines);

// text with a line break wherever it wraps at the width TextWrap::width
// picks: for a place that lays plain text on one line, a tool tip.
QString broken(const QString &text, const QFont &font, int width, Lines lines);

// Keeps label's lines so whenever the label is resized, by wrapping its
// text within contents margins. Call again after changing its text.
void keep(QLabel *label, Lines lines);

} // namespace TextWrap
