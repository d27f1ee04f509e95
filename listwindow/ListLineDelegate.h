#pragma once
// Paints a list line's cells as plain one-line text. The general delegate
// lays every cell out as a paragraph (icon, check box, word wrap, eliding
// through a text layout), which made repainting a list the slowest part of
// opening or refreshing a large DMA.

#include <QStyledItemDelegate>

class ListLineDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};
