#include "ColumnLayout.h"

namespace kelvane {

using namespace viewtypes;

namespace {

struct TDefault {
    int Width;
    TColumnLayout::TAlignment Alignment;
    uint8_t VisibleIn; // bit m: visible in medium m
};

constexpr uint8_t AllMedia = 0x1f;

// In column-type order.
constexpr TDefault Defaults[ViewTypeCount] = {
    {150, TColumnLayout::alLeft, 0x01 | 0x08},          // name: details, printed report
    {180, TColumnLayout::alLeft, 0x02 | 0x04 | 0x10},   // full path: spreadsheet, text, HTML
    {90, TColumnLayout::alRight, AllMedia},             // size
    {90, TColumnLayout::alRight, AllMedia},             // allocated
    {80, TColumnLayout::alRight, AllMedia},             // percent of parent
    {80, TColumnLayout::alRight, 0},                    // wasted
    {85, TColumnLayout::alRight, 0},                    // CD/DVD size
    {50, TColumnLayout::alRight, AllMedia},             // files
    {50, TColumnLayout::alRight, AllMedia},             // folders
    {90, TColumnLayout::alLeft, AllMedia},              // last change
    {90, TColumnLayout::alLeft, AllMedia},              // last access
    {45, TColumnLayout::alRight, 0},                    // compression rate
    {125, TColumnLayout::alLeft, 0x01},                 // owner
    {90, TColumnLayout::alRight, 0},                    // current date
    {70, TColumnLayout::alLeft, 0},                     // attributes
    {140, TColumnLayout::alLeft, 0},                    // file type
    {50, TColumnLayout::alRight, 0},                    // dir level
    {85, TColumnLayout::alLeft, 0},                     // creation date
    {180, TColumnLayout::alLeft, 0},                    // path without name
    {90, TColumnLayout::alRight, 0},                    // average file size
    {400, TColumnLayout::alLeft, 0},                    // permissions
    {115, TColumnLayout::alLeft, 0},                    // version
    {160, TColumnLayout::alLeft, 0},                    // title of scan
    {160, TColumnLayout::alLeft, 0},                    // office author
    {90, TColumnLayout::alLeft, 0},                     // office last save date
};

// Default order positions by column type: files and folders follow the
// allocated space, percent follows wasted, the CD size comes after owner.
constexpr int DefaultOrder[ViewTypeCount] = {0, 1, 2, 3, 7, 6, 12, 4, 5, 8, 9, 10, 11, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24};

constexpr int NoPosition = 999;

} // namespace

TColumnLayout::TColumnLayout()
{
    for (int type = 0; type < ViewTypeCount; ++type) {
        TColumn& c = FColumns[size_t(type)];
        const TDefault& d = Defaults[type];
        c.Header = DefaultColumnCaption(type);
        c.Alignment = d.Alignment;
        const bool paths = type == vt_Name || type == vt_fullpath || type == vt_path_without_name;
        for (int m = 0; m < MediumCount; ++m) {
            TMediumColumn& mc = c.Media[size_t(m)];
            mc.Visible = d.VisibleIn & (1u << m);
            // Printer units: the printed report's columns are wider.
            mc.Width = m == emPrint ? d.Width * (paths ? 4 : 2) : d.Width;
            mc.OrderPosition = DefaultOrder[type];
        }
    }
}

std::vector<int> TColumnLayout::ColumnOrder(int medium) const
{
    std::vector<int> order;
    std::vector<bool> taken(ViewTypeCount, false);
    for (;;) {
        int best = -1;
        for (int type = 0; type < ViewTypeCount; ++type) {
            const TMediumColumn& mc = FColumns[size_t(type)].Media[size_t(medium)];
            if (taken[size_t(type)] || !mc.Visible || mc.OrderPosition >= NoPosition)
                continue;
            if (best < 0 || mc.OrderPosition < FColumns[size_t(best)].Media[size_t(medium)].OrderPosition)
                best = type;
        }
        if (best < 0)
            return order;
        taken[size_t(best)] = true;
        order.push_back(best);
    }
}

int TColumnLayout::VisibleCount(int medium) const
{
    int n = 0;
    for (const TColumn& c : FColumns)
        n += c.Media[size_t(medium)].Visible ? 1 : 0;
    return n;
}

QString TColumnLayout::NoColumnWarning(int medium) const
{
    if (VisibleCount(medium) > 0)
        return {};
    return QStringLiteral("No column activated for ") + QLatin1String(MediumName(medium)) + QStringLiteral("!!");
}

void TColumnLayout::Load(QSettings& settings)
{
    auto readInt = [&settings](const QString& key, int fallback) {
        bool ok = false;
        const int value = settings.value(key).toInt(&ok);
        return ok ? value : fallback;
    };
    for (int type = 0; type < ViewTypeCount; ++type) {
        TColumn& c = FColumns[size_t(type)];
        settings.beginGroup(QStringLiteral("Column%1").arg(type));
        c.Header = settings.value(QStringLiteral("Header"), c.Header).toString();
        const int alignment = readInt(QStringLiteral("Alignment"), c.Alignment);
        if (alignment >= alLeft && alignment <= alCenter)
            c.Alignment = TAlignment(alignment);
        for (int m = 0; m < MediumCount; ++m) {
            TMediumColumn& mc = c.Media[size_t(m)];
            settings.beginGroup(QStringLiteral("Media%1").arg(m));
            mc.Visible = settings.value(QStringLiteral("ColumnVisible"), mc.Visible).toBool();
            mc.Width = qMax(0, readInt(QStringLiteral("Width"), mc.Width));
            mc.OrderPosition = readInt(QStringLiteral("OrderPosition"), mc.OrderPosition);
            settings.endGroup();
        }
        settings.endGroup();
    }
}

void TColumnLayout::Save(QSettings& settings) const
{
    for (int type = 0; type < ViewTypeCount; ++type) {
        const TColumn& c = FColumns[size_t(type)];
        settings.beginGroup(QStringLiteral("Column%1").arg(type));
        settings.setValue(QStringLiteral("Header"), c.Header);
        settings.setValue(QStringLiteral("Alignment"), int(c.Alignment));
        for (int m = 0; m < MediumCount; ++m) {
            const TMediumColumn& mc = c.Media[size_t(m)];
            settings.beginGroup(QStringLiteral("Media%1").arg(m));
            settings.setValue(QStringLiteral("ColumnVisible"), mc.Visible);
            settings.setValue(QStringLiteral("Width"), mc.Width);
            settings.setValue(QStringLiteral("OrderPosition"), mc.OrderPosition);
            settings.endGroup();
        }
        settings.endGroup();
    }
}

} // namespace kelvane
