#include "platform/xbengine/tablepaths.h"

#include "platform/rtl/fileops.h"

namespace tablepaths {

String Resolve(const String& path)
{
    String text = NormalizePath(path);
    bool drive = text.size() >= 2 && text[1] == ':' && (text[0] | 0x20) >= 'a' && (text[0] | 0x20) <= 'z';
    return ResolvePath(drive ? text.substr(2) : text);
}

String TableFile(const String& path)
{
    String file = Resolve(path);
    return ExtractFileExt(file).empty() ? ResolvePath(file + ".DBF") : file;
}

String Sibling(const String& path, const String& ext) { return ResolvePath(ChangeFileExt(path, ext)); }

}  // namespace tablepaths
