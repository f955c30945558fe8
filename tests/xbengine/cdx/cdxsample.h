#pragma once
// A small valid compound index in memory: tag NAME (character, 12 bytes, a
// leaf root) and tag ID (integer, an interior root over several leaves).

#include "platform/xbengine/cdx/cdxindexfile.h"

inline std::vector<Byte> CdxSampleBytes()
{
    auto owned = std::make_unique<CdxMemoryStore>();
    CdxMemoryStore& store = *owned;
    auto file = CdxIndexFile::Create(std::move(owned));
    CdxTag& name = file->CreateTag({"NAME", "NAME", "", CdxKeyType::Character, 12, false, false, false});
    CdxTag& id = file->CreateTag({"ID", "ID", "ID>0", CdxKeyType::Integer, 0, false, false, false});
    for (std::uint32_t recNo = 1; recNo <= 400; ++recNo) {
        if (recNo <= 20)
            name.Insert(CdxCharacterKey(std::to_string(recNo % 7) + "NAME", 12), recNo);
        id.Insert(CdxIntegerKey(std::int32_t(recNo * 37 % 400)), recNo);
    }
    return store.Bytes();
}

// Types the sample's tags; opening and reading every tag may raise ECdxCorrupt.
inline std::unique_ptr<CdxIndexFile> CdxOpenSample(std::vector<Byte> bytes)
{
    auto file = CdxIndexFile::Open(std::make_unique<CdxMemoryStore>(std::move(bytes)));
    for (CdxTag* tag : file->Tags())
        tag->SetKeyType(tag->Name() == "ID" ? CdxKeyType::Integer : CdxKeyType::Character);
    return file;
}
