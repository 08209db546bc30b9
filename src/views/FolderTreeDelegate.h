#pragma once
#include <QStyledItemDelegate>

namespace kelvane {

class TGlobalOptions;

// Tree nodes over a bar that shows the folder's share of its root.
class TFolderTreeDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    TFolderTreeDelegate(const TGlobalOptions& options, QObject* parent = nullptr);
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    const TGlobalOptions& FOptions;
};

} // namespace kelvane
