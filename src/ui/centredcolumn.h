#pragma once

class QWidget;

// A column of content in the middle of a pane, as the empty, consent and
// making screens show theirs.
namespace CentredColumn {

// Lays column out in owner, centred both ways inside margin: it takes
// share parts of the width to one part on each side. Stretches, not an
// alignment, centre it: an aligned widget keeps its size hint, and a
// wrapped sentence in it would lose lines.
void place(QWidget *owner, QWidget *column, int share, int margin);

} // namespace CentredColumn
