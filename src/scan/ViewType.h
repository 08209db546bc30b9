#pragma once
#include <QObject>

// Column identifiers, display units and tree sort orders shared by the tree,
// the details list, every export and the options. Stored by ordinal value.
namespace kelvane::viewtypes {
Q_NAMESPACE

enum TViewType {
    vt_Name = 0,
    vt_fullpath,
    vt_size,
    vt_alloc,
    vt_percent,
    vt_wasted,
    vt_CDSize,
    vt_files,
    vt_Folders,
    vt_LastChange,
    vt_LastAccess,
    vt_CompressionRate,
    vt_Owner,
    vt_CurrentDate,
    vt_Attributes,
    vt_filetype,
    vt_dirlevel,
    vt_creationdate,
    vt_path_without_name,
    vt_average_file_size,
    vt_permissions,
    vt_version,
    vt_TitleOfScan,
    vt_OfficeAuthor,
    vt_OfficeLastSaveDate
};
Q_ENUM_NS(TViewType)

inline constexpr int ViewTypeCount = 25;

enum TUnitType { Byte = 0, Kilo, Mega, Giga, Tera, None, Mixed };
Q_ENUM_NS(TUnitType)

enum TSortType { stName = 0, stSize, stNone };
Q_ENUM_NS(TSortType)

} // namespace kelvane::viewtypes

namespace kelvane {
using viewtypes::TSortType;
using viewtypes::TUnitType;
using viewtypes::TViewType;
} // namespace kelvane

#include <QString>

namespace kelvane {
// The default column caption of a view type ("Size", "% of Parent" ...).
QString DefaultColumnCaption(int viewType);
}
