#include "PercentBarDelegate.h"

#include "BgrColor.h"

#include <QLinearGradient>
#include <QPainter>
#include <cmath>

namespace kelvane {

void TPercentBarDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QVariant share = index.data(ShareRole);
    if (!share.isValid()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    if (option.state & QStyle::State_Selected)
        painter->fillRect(option.rect, option.palette.highlight());
    const QRect frame = option.rect.adjusted(1, 1, -2, -2);
    painter->setPen(BgrColor(0xB0B0B0));
    painter->setBrush(BgrColor(0xE6E6E6));
    painter->drawRect(frame);
    const QRect inner = frame.adjusted(1, 1, 0, 0);
    const int filled = int(std::lround(inner.width() * std::clamp(share.toDouble(), 0.0, 1.0)));
    QLinearGradient gradient(inner.topLeft(), inner.topRight());
    gradient.setColorAt(0, BgrColor(0xFFC0C0));
    gradient.setColorAt(1, BgrColor(0xFF7070));
    painter->fillRect(QRect(inner.left(), inner.top(), filled, inner.height()), gradient);
    painter->setPen(option.palette.color(QPalette::Text));
    painter->drawText(inner, Qt::AlignCenter, index.data().toString());
}

} // namespace kelvane
