#include "centredcolumn.h"

#include <QBoxLayout>
#include <QWidget>

namespace CentredColumn {

void place(QWidget *owner, QWidget *column, int share, int margin)
{
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(column, share);
    row->addStretch(1);
    auto *outer = new QVBoxLayout(owner);
    outer->setContentsMargins(margin, margin, margin, margin);
    outer->addStretch(1);
    outer->addLayout(row);
    outer->addStretch(1);
}

} // namespace CentredColumn
