#pragma once
#include "MediaSettings.h"
#include "ViewType.h"

#include <QSettings>
#include <QString>
#include <array>
#include <vector>

namespace kelvane {

// Which columns each output medium shows, in which order and how wide: one
// entry per column type, each with its settings for the five media (the
// details list and the four exports).
class TColumnLayout {
public:
    enum TAlignment { alLeft = 0, alRight, alCenter };

    struct TMediumColumn {
        bool Visible = false;
        int Width = 0;
        int OrderPosition = 0;
    };
    struct TColumn {
        QString Header;
        TAlignment Alignment = alLeft;
        std::array<TMediumColumn, MediumCount> Media;
    };

    TColumnLayout(); // the defaults

    TColumn& Column(int viewType) { return FColumns[size_t(viewType)]; }
    const TColumn& Column(int viewType) const { return FColumns[size_t(viewType)]; }
    QString Header(int viewType) const { return FColumns[size_t(viewType)].Header; }
    bool IsVisible(int medium, int viewType) const { return FColumns[size_t(viewType)].Media[size_t(medium)].Visible; }

    // The visible column types of a medium in display order: ascending
    // position (below 999), the lower type first among equal positions.
    std::vector<int> ColumnOrder(int medium) const;
    int VisibleCount(int medium) const;
    // "No column activated for <medium>!!", or empty when a column is visible.
    QString NoColumnWarning(int medium) const;

    // Groups "Column<n>" with "Header" and "Alignment", and below them
    // "Media<m>" with "ColumnVisible", "Width" and "OrderPosition"; missing
    // or unreadable values keep the defaults.
    void Load(QSettings& settings);
    void Save(QSettings& settings) const;

    bool operator==(const TColumnLayout&) const = default;

private:
    std::array<TColumn, viewtypes::ViewTypeCount> FColumns;
};

} // namespace kelvane
