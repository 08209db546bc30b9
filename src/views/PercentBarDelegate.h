#pragma once
#include <QStyledItemDelegate>

namespace kelvane {

// The percent cell of a list: a framed bar filled by the entry's share.
// The model gives the share (0..1) under ShareRole; cells without one are
// drawn as usual.
class TPercentBarDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    static constexpr int ShareRole = Qt::UserRole + 11;
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

} // namespace kelvane
