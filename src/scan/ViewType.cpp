#include "ViewType.h"

namespace kelvane {

QString DefaultColumnCaption(int viewType)
{
    static const char* const captions[viewtypes::ViewTypeCount] = {
        "Name",          "Full Path",    "Size",          "Allocated",       "% of Parent",
        "Wasted",        "CD-ROM Size",  "Files",         "Folders",         "Last Change",
        "Last Access",   "Compr.",       "Owner",         "Current Date",    "Attributes",
        "File Type",     "Dir Level",    "Creation Date", "Path (Without Name)", "Avg. File Size",
        "Permissions",   "Version ",     "Title of Scan", "MS Office Author", "MS Office Last Save Date",
    };
    if (viewType < 0 || viewType >= viewtypes::ViewTypeCount)
        return {};
    return QString::fromLatin1(captions[viewType]);
}

} // namespace kelvane
