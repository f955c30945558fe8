#include "platform/xbengine/cdx/cdxindexfile.h"

#include <algorithm>

#include "platform/rtl/exceptions.h"
#include "platform/xbengine/cdx/cdxcursor.h"
#include "platform/xbengine/cdx/cdxerror.h"

namespace {

constexpr std::uint32_t HeaderBytes = 2 * CdxPageSize;
constexpr int TagNameLength = 10;

String UpperName(const String& name)
{
    String upper = name;
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return upper;
}

bool ValidTagName(const String& name)
{
    if (name.empty() || name.size() > std::size_t(TagNameLength))
        return false;
    auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    if (!letter(name[0]))
        return false;
    return std::all_of(name.begin(), name.end(),
                       [&](char c) { return letter(c) || (c >= '0' && c <= '9') || c == '_'; });
}

String DirectoryKey(const String& name) { return CdxCharacterKey(UpperName(name), TagNameLength); }

// The memory a cached page takes, with the cache's own bookkeeping of it:
// its links, its place in the lookup table and the page's decoded node's handle.
constexpr std::size_t CachedPageBytes = CdxPageSize + 64;

// The memory a decoded node takes beside its page, with room for keyBytes
// of keys and for numbers record numbers and children.
std::size_t DecodedBytes(std::size_t keyBytes, std::size_t numbers)
{
    return sizeof(CdxNode) + 32 + keyBytes + numbers * sizeof(std::uint32_t);
}

std::size_t DecodedBytes(const CdxNode& node)
{
    return DecodedBytes(node.Keys.capacity(), node.RecNos.capacity() + node.Children.capacity());
}

void PutHeader(Byte* head, std::uint32_t root, int keyLength, Byte options, bool descending,
               std::size_t keyExprBytes, std::size_t forExprBytes)
{
    CdxPutLE32(head, root);
    CdxPutLE16(head + 12, std::uint16_t(keyLength));
    head[14] = options;
    head[15] = 1;
    CdxPutLE16(head + 502, descending ? 1 : 0);
    CdxPutLE16(head + 504, std::uint16_t(keyExprBytes));
    CdxPutLE16(head + 506, std::uint16_t(forExprBytes));
    CdxPutLE16(head + 508, 0);
    CdxPutLE16(head + 510, std::uint16_t(keyExprBytes));
}

}  // namespace

CdxIndexFile::CdxIndexFile(std::unique_ptr<CdxPageStore> store) : FStore(std::move(store)) { }

std::unique_ptr<CdxIndexFile> CdxIndexFile::Create(std::unique_ptr<CdxPageStore> store)
{
    store->SetLength(0);
    std::unique_ptr<CdxIndexFile> file(new CdxIndexFile(std::move(store)));
    // The directory has no expressions: an empty key text and an empty FOR text.
    PutHeader(file->FHeader, HeaderBytes, TagNameLength,
              CdxOptionCompact | CdxOptionCompound | CdxOptionDirectory, false, 1, 1);
    file->WriteHeaderPage();
    Byte pool[CdxPageSize] = {};
    file->WritePage(CdxPageSize, pool);
    file->WriteEmptyRoot(HeaderBytes, TagNameLength, CdxFillByte(CdxKeyType::Character));
    file->Load();
    return file;
}

std::unique_ptr<CdxIndexFile> CdxIndexFile::Open(std::unique_ptr<CdxPageStore> store)
{
    std::unique_ptr<CdxIndexFile> file(new CdxIndexFile(std::move(store)));
    file->Load();
    return file;
}

void CdxIndexFile::Load()
{
    FEnd = (FStore->Length() + CdxPageSize - 1) / CdxPageSize * CdxPageSize;
    if (FEnd > 0xFFFFFFFFull)
        throw ECdxCorrupt("Index file is larger than its offsets reach");
    FStore->ReadPage(0, FHeader);
    if (CdxGetLE16(FHeader + 12) != TagNameLength || !(FHeader[14] & CdxOptionDirectory))
        throw ECdxCorrupt("Not a compound index file");
    FDirectory = std::make_unique<CdxTag>(*this, "", 0, CdxKeyType::Character);
    FTags.clear();
    CdxCursor cursor(*FDirectory);
    for (bool more = cursor.First(); more; more = cursor.Next()) {
        std::uint32_t offset = cursor.RecNo();
        if (offset % CdxPageSize != 0 || offset < HeaderBytes || offset + std::uint64_t(HeaderBytes) > FEnd)
            throw ECdxCorrupt("Index tag header outside the file");
        String name = cursor.Key();
        name.erase(name.find_last_not_of(' ') + 1);
        auto tag = std::make_unique<CdxTag>(*this, name, offset, CdxKeyType::Character);
        tag->ReadNode(tag->FRoot);
        FTags.push_back(std::move(tag));
    }
    std::sort(FTags.begin(), FTags.end(),
              [](const auto& a, const auto& b) { return a->HeaderOffset() < b->HeaderOffset(); });
}

std::vector<CdxTag*> CdxIndexFile::Tags() const
{
    std::vector<CdxTag*> tags;
    for (const auto& tag : FTags)
        tags.push_back(tag.get());
    return tags;
}

CdxTag* CdxIndexFile::FindTag(const String& name) const
{
    String upper = UpperName(name);
    for (const auto& tag : FTags)
        if (tag->Name() == upper)
            return tag.get();
    return nullptr;
}

CdxTag& CdxIndexFile::CreateTag(const CdxTagDefinition& definition)
{
    if (!ValidTagName(definition.Name))
        throw ERangeError("Invalid index tag name \"" + definition.Name + "\"");
    const int keyLength = CdxKeyLength(definition.KeyType, definition.KeyLength);
    if (keyLength < 1 || keyLength > CdxMaxKeyLength)
        throw ERangeError("Index key length " + std::to_string(keyLength) + " is out of range");
    const std::size_t keyBytes = definition.KeyExpression.size() + 1,
                      forBytes = definition.ForExpression.size() + 1;
    if (definition.KeyExpression.empty() || keyBytes + forBytes > CdxPageSize ||
        definition.KeyExpression.find('\0') != String::npos ||
        definition.ForExpression.find('\0') != String::npos)
        throw ERangeError("Invalid index expression");
    DropTag(definition.Name);

    const std::uint32_t headerOffset = Grow(HeaderBytes);
    const std::uint32_t root = AllocatePage();
    WriteEmptyRoot(root, keyLength, CdxFillByte(definition.KeyType));
    Byte head[CdxPageSize] = {};
    Byte options = CdxOptionCompact | CdxOptionCompound;
    if (definition.Unique)
        options |= CdxOptionUnique;
    if (definition.Candidate)
        options |= CdxOptionCandidate;
    if (!definition.ForExpression.empty())
        options |= CdxOptionFor;
    PutHeader(head, root, keyLength, options, definition.Descending, keyBytes, forBytes);
    Byte pool[CdxPageSize] = {};
    std::copy(definition.KeyExpression.begin(), definition.KeyExpression.end(), pool);
    std::copy(definition.ForExpression.begin(), definition.ForExpression.end(), pool + keyBytes);
    WritePage(headerOffset, head);
    WritePage(headerOffset + CdxPageSize, pool);

    String name = UpperName(definition.Name);
    auto tag = std::make_unique<CdxTag>(*this, name, headerOffset, definition.KeyType);
    FDirectory->Insert(DirectoryKey(name), headerOffset);
    FTags.push_back(std::move(tag));
    return *FTags.back();
}

bool CdxIndexFile::DropTag(const String& name)
{
    auto it = std::find_if(FTags.begin(), FTags.end(),
                           [&](const auto& tag) { return tag->Name() == UpperName(name); });
    if (it == FTags.end())
        return false;
    CdxTag& tag = **it;
    FDirectory->Delete(DirectoryKey(tag.Name()), tag.HeaderOffset());
    try {
        FreePages(tag.TreePages());
    } catch (const ECdxCorrupt&) {
        // A broken tree's pages are left unused rather than freed twice.
    }
    FreePage(tag.HeaderOffset());
    FreePage(tag.HeaderOffset() + CdxPageSize);
    FTags.erase(it);
    Changed();
    return true;
}

void CdxIndexFile::Refresh(bool always)
{
    FCounterRaised = false;
    Byte head[CdxPageSize];
    FStore->ReadPage(0, head);
    // The file grows only in changes, which all change the header.
    if (!always && std::equal(head, head + CdxPageSize, FHeader))
        return;
    FEnd = (FStore->Length() + CdxPageSize - 1) / CdxPageSize * CdxPageSize;
    std::copy(head, head + CdxPageSize, FHeader);
    FCache.Clear();
    ++FGeneration;
    FDirectory->ReadHeader();
    for (const auto& tag : FTags)
        tag->ReadHeader();
}

bool CdxIndexFile::HeaderUnchanged() { return FStore->FirstPageIs(FHeader); }

void CdxIndexFile::MarkChanged()
{
    if (FBatchDepth > 0)
        FBatchChanged = true;
    else
        Changed();
}

std::uint32_t CdxIndexFile::ChangeCounter() const
{
    // Stored big-endian, as other writers of the format keep it.
    return std::uint32_t(FHeader[8]) << 24 | std::uint32_t(FHeader[9]) << 16 |
           std::uint32_t(FHeader[10]) << 8 | FHeader[11];
}

void CdxIndexFile::Changed()
{
    if (FBatchDepth > 0) {
        FBatchChanged = true;
        return;
    }
    if (FCounterRaised)
        return;
    FCounterRaised = true;
    std::uint32_t counter = ChangeCounter() + 1;
    FHeader[8] = Byte(counter >> 24);
    FHeader[9] = Byte(counter >> 16);
    FHeader[10] = Byte(counter >> 8);
    FHeader[11] = Byte(counter);
    WriteHeaderPage();
}

void CdxIndexFile::EndChanges()
{
    if (FBatchDepth == 0 || --FBatchDepth > 0 || !FBatchChanged)
        return;
    FBatchChanged = false;
    Changed();
}

void CdxIndexFile::WriteHeaderPage() { FStore->WritePage(0, FHeader); }

void CdxIndexFile::WriteEmptyRoot(std::uint32_t offset, int keyLength, Byte fill)
{
    CdxNode root;
    root.Offset = offset;
    root.KeyLength = keyLength;
    root.Attributes = CdxNodeRoot | CdxNodeLeaf;
    Byte page[CdxPageSize];
    CdxEncodeNode(root, fill, page);
    WritePage(offset, page);
}

void CdxIndexFile::ReadPage(std::uint32_t offset, Byte* page)
{
    if (const CachedPage* cached = FCache.Find(offset)) {
        std::copy(cached->Bytes.begin(), cached->Bytes.end(), page);
        return;
    }
    if (FCacheOnly)
        throw ECdxCacheMiss("Index page " + std::to_string(offset) + " is not in the cache");
    FStore->ReadPage(offset, page);
    Remember(offset, page);
}

const Byte* CdxIndexFile::PageBytes(std::uint32_t offset, Byte* scratch)
{
    if (const CachedPage* cached = FCache.Find(offset))
        return cached->Bytes.data();
    ReadPage(offset, scratch);
    return scratch;
}

std::shared_ptr<const CdxNode> CdxIndexFile::ReadNode(std::uint32_t offset, int keyLength, Byte fill)
{
    CachedPage* cached = FCache.Find(offset);
    if (!cached) {
        Byte page[CdxPageSize];
        ReadPage(offset, page);
        cached = FCache.Find(offset);
        if (!cached) {  // the file header, which the cache does not keep
            auto node = std::make_shared<CdxNode>();
            CdxDecodeNode(page, offset, keyLength, fill, *node);
            return node;
        }
    }
    if (cached->Node && cached->NodeKeyLength == keyLength && cached->NodeFill == fill)
        return cached->Node;
    auto node = std::make_shared<CdxNode>();
    CdxDecodeNode(cached->Bytes.data(), offset, keyLength, fill, *node);
    cached->Node = node;
    cached->NodeKeyLength = keyLength;
    cached->NodeFill = fill;
    FCache.SetCostOfLatest(CachedPageBytes + DecodedBytes(*node));
    return node;
}

void CdxIndexFile::WritePage(std::uint32_t offset, const Byte* page)
{
    FStore->WritePage(offset, page);
    Remember(offset, page);
}

bool CdxIndexFile::HasRoomFor(const CdxNode& node) const
{
    return node.IsLeaf() ? FCache.Cost() + DecodedBytes(node) <= FCache.Limit() : true;
}

bool CdxIndexFile::HasRoomForLeaf(std::size_t count, int keyLength) const
{
    return FCache.Cost() + DecodedBytes(count * std::size_t(keyLength), count) <= FCache.Limit();
}

std::shared_ptr<const CdxNode> CdxIndexFile::CachedNode(std::uint32_t offset, int keyLength, Byte fill)
{
    const CachedPage* cached = FCache.Find(offset);
    if (!cached || !cached->Node || cached->NodeKeyLength != keyLength || cached->NodeFill != fill)
        return nullptr;
    return cached->Node;
}

void CdxIndexFile::WriteNode(const Byte* page, std::shared_ptr<const CdxNode> node, Byte fill)
{
    const std::uint32_t offset = node->Offset;
    WritePage(offset, page);
    CachedPage* found = offset == 0 || !HasRoomFor(*node) ? nullptr : FCache.Find(offset);
    if (!found)
        return;
    CachedPage& cached = *found;
    cached.NodeKeyLength = node->KeyLength;
    cached.NodeFill = fill;
    cached.Node = std::move(node);
    FCache.SetCostOfLatest(CachedPageBytes + DecodedBytes(*cached.Node));
}

void CdxIndexFile::Remember(std::uint32_t offset, const Byte* page)
{
    if (offset == 0)
        return;  // the file header lives in FHeader
    CachedPage& cached = FCache.Put(offset);
    std::copy(page, page + CdxPageSize, cached.Bytes.begin());
    cached.Node.reset();
    FCache.SetCostOfLatest(CachedPageBytes);
}

void CdxIndexFile::PatchHeader(std::uint32_t headerOffset, std::size_t at, std::uint32_t value)
{
    if (headerOffset == 0) {
        CdxPutLE32(FHeader + at, value);
        WriteHeaderPage();
        return;
    }
    Byte head[CdxPageSize];
    ReadPage(headerOffset, head);
    CdxPutLE32(head + at, value);
    WritePage(headerOffset, head);
}

void CdxIndexFile::CheckPage(std::uint32_t offset) const
{
    if (offset % CdxPageSize != 0 || offset < HeaderBytes || offset + std::uint64_t(CdxPageSize) > FEnd)
        throw ECdxCorrupt("Index node offset " + std::to_string(offset) + " is out of range");
}

std::uint32_t CdxIndexFile::AllocatePage()
{
    std::uint32_t head = CdxGetLE32(FHeader + 4);
    if (head != 0 && head != CdxNone) {
        Byte page[CdxPageSize];
        bool usable =
                head % CdxPageSize == 0 && head >= HeaderBytes && head + std::uint64_t(CdxPageSize) <= FEnd;
        if (usable)
            ReadPage(head, page);
        // A broken list is dropped: its pages stay unused, nothing live is handed out.
        CdxPutLE32(FHeader + 4, usable ? CdxGetLE32(page) : 0);
        WriteHeaderPage();
        if (usable)
            return head;
    }
    return Grow(CdxPageSize);
}

std::uint32_t CdxIndexFile::Grow(std::uint32_t bytes)
{
    // Offsets are 32 bits, and all ones means none.
    if (FEnd + bytes >= CdxNone)
        throw ERangeError("Index file has reached its largest size");
    std::uint32_t offset = std::uint32_t(FEnd);
    FEnd += bytes;
    return offset;
}

void CdxIndexFile::FreePages(const std::vector<std::uint32_t>& offsets)
{
    if (offsets.empty())
        return;
    // Each page links to the one freed before it, the first to the old head.
    std::uint32_t head = CdxGetLE32(FHeader + 4);
    Byte page[CdxPageSize] = {};
    for (std::uint32_t offset : offsets) {
        CdxPutLE32(page, head == CdxNone ? 0 : head);
        WritePage(offset, page);
        head = offset;
    }
    CdxPutLE32(FHeader + 4, head);
    WriteHeaderPage();
}
