#include "platform/win/hostinfo.h"

#include <unistd.h>

#include "platform/rtl/strutils.h"

namespace {

const THostInfo* Current = nullptr;

}  // namespace

String TSystemHostInfo::ComputerName() const
{
    char buffer[256] = {};
    if (gethostname(buffer, sizeof(buffer) - 1) != 0)
        return String();
    String name = Trim(buffer);
    if (const size_t dot = name.find('.'); dot != String::npos)
        name.resize(dot);
    return UpperCase(name);
}

const THostInfo& HostInfo()
{
    static const TSystemHostInfo system;
    return Current ? *Current : system;
}

const THostInfo* SetHostInfo(const THostInfo* Info)
{
    const THostInfo* previous = Current;
    Current = Info;
    return previous;
}
