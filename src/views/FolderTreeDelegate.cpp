#include "FolderTreeDelegate.h"

#include "FolderTreeModel.h"
#include "BgrColor.h"
#include "app/GlobalOptions.h"

#include <QLinearGradient>
#include <QPainter>

namespace kelvane {

TFolderTreeDelegate::TFolderTreeDelegate(const TGlobalOptions& options, QObject* parent)
    : QStyledItemDelegate(parent)
    , FOptions(options)
{
}

void TFolderTreeDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const double share = index.data(TFolderTreeModel::ShareRole).toDouble();
    if (FOptions.ShowInidcatorBarsInTree && share > 0.0 && !(option.state & QStyle::State_Selected)) {
        const QRect cell = option.rect.adjusted(1, 1, -1, -1);
        const QRect bar(cell.left(), cell.top(), int(std::lround(cell.width() * share)), cell.height());
        QLinearGradient gradient(cell.topLeft(), cell.topRight());
        gradient.setColorAt(0, BgrColor(FOptions.IndicatorBarColor1));
        gradient.setColorAt(1, BgrColor(FOptions.IndicatorBarColor2));
        painter->fillRect(bar, gradient);
    }
    QStyledItemDelegate::paint(painter, option, index);
}

} // namespace kelvane
