#pragma once

#include <QByteArray>

namespace PdfPages {

// The page count of a PDF, read the way a print shop's intake does without a
// full parser: page objects in the file and in its compressed object
// streams, else the largest /Count of a page tree. 0 when none is found.
int count(const QByteArray &pdf);

} // namespace PdfPages
