#include "platform/xbengine/settings.h"

Settings& EngineSettings()
{
    static Settings settings;
    return settings;
}

int Settings::MemoBlockBytes() const
{
    if (MemoBlockSize == 0)
        return 1;
    if (MemoBlockSize <= 32)
        return MemoBlockSize * 512;
    return MemoBlockSize;
}
