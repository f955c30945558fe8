#include "platform/xbengine/tableorders.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <utility>

#include <strings.h>
#include <sys/stat.h>

#include "platform/xbengine/cdx/cdxerror.h"
#include "platform/xbengine/engineerror.h"
#include "platform/xbengine/errorstate.h"
#include "platform/xbengine/expr/datetext.h"
#include "platform/xbengine/expr/numtext.h"
#include "platform/xbengine/indexpagestore.h"
#include "platform/xbengine/journal.h"
#include "platform/xbengine/recordfilter.h"
#include "platform/xbengine/settings.h"
#include "platform/xbengine/table.h"
#include "platform/xbengine/tablepaths.h"
#include "platform/xbengine/xbe50.h"

struct TableOrders::IndexFile {
    String Path;
    dev_t Device = 0;
    ino_t Inode = 0;
    bool Structural = false;
    int Handle = -1;
    std::unique_ptr<CdxIndexFile> Index;
    // Declared after the file, so released before it closes.
    sharelocks::OfdLock OpenLock;
    sharelocks::OfdLock IndexLock;
};

namespace {

// The order in which tag holds the records of entries (given in record
// order), through renumbered (old record number to new, 0 for none): the
// entries' indexes. None where the tag misses a record or holds one twice;
// the build sorts whatever is not in order.
std::vector<std::uint32_t> OrderLikeTag(CdxTag& tag, const std::vector<std::uint32_t>& renumbered,
                                        const CdxKeyList& entries)
{
    if (entries.Count() == 0)
        return {};
    std::vector<std::uint32_t> held;
    try {
        held = tag.RecNos();
    } catch (const ECdxCorrupt&) {
        return {};
    }
    constexpr std::uint32_t None = 0xFFFFFFFFu;
    std::vector<std::uint32_t> indexOf(std::size_t(entries.RecNo(entries.Count() - 1)) + 1, None);
    for (std::size_t i = 0; i < entries.Count(); ++i)
        indexOf[entries.RecNo(i)] = std::uint32_t(i);
    std::vector<std::uint32_t> order;
    order.reserve(entries.Count());
    for (std::uint32_t old : held) {
        const std::uint32_t recNo = old < renumbered.size() ? renumbered[old] : 0;
        if (recNo == 0 || recNo >= indexOf.size() || indexOf[recNo] == None)
            continue;
        order.push_back(indexOf[recNo]);
        indexOf[recNo] = None;
    }
    if (order.size() != entries.Count())
        return {};
    return order;
}

constexpr int MaxCharacterKey = 240;

CdxKeyType KeyTypeOf(xbexpr::ValueType type)
{
    switch (type) {
    case xbexpr::ValueType::Numeric: return CdxKeyType::Numeric;
    case xbexpr::ValueType::Date: return CdxKeyType::Date;
    case xbexpr::ValueType::Logical: return CdxKeyType::Logical;
    default: return CdxKeyType::Character;
    }
}

// A key made of one integer field alone is kept in the four-byte integer form.
CdxKeyType KeyTypeOf(const xbexpr::Expression& key, const AreaContext& context)
{
    String text = key.Text();
    text.erase(0, text.find_first_not_of(' '));
    text.erase(text.find_last_not_of(' ') + 1);
    xbexpr::FieldInfo field;
    if (context.LookupField({}, text, field) && field.Area == 0 && field.Type == 'I')
        return CdxKeyType::Integer;
    return KeyTypeOf(key.Type());
}

bool Identity(const String& path, dev_t& device, ino_t& inode)
{
    struct stat info;
    if (::stat(path.c_str(), &info) != 0)
        return false;
    device = info.st_dev;
    inode = info.st_ino;
    return true;
}

String Upper(String text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = char(c - 32);
    return text;
}

bool ValidTagName(const String& name)
{
    if (name.empty() || name.size() > 10 || !std::isalpha(static_cast<unsigned char>(name[0])))
        return false;
    return std::all_of(name.begin(), name.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; });
}

}  // namespace

int TableOrders::Order::ScopeSide(const String& key) const
{
    if (!Low.empty() && key.compare(0, Low.size(), Low) < 0)
        return -1;
    if (!High.empty() && key.compare(0, High.size(), High) > 0)
        return 1;
    return 0;
}

TableOrders::TableOrders(Table& table, AreaContext& context) : FTable(table), FContext(context) { }

TableOrders::~TableOrders()
{
    try {
        FlushPending();
    } catch (const Exception& error) {
        Errors().Record(XBE_E_IO, "The keys of an appended record were not written: " + error.Message());
    }
}

void TableOrders::Appended(const String& image, Integer recno)
{
    if (FOrders.empty())
        return;
    FlushPending();
    if (FTable.Mode() != omExclusive) {
        Update(KeySet(FOrders.size()), Keys(image, recno), recno);
        return;
    }
    FPendingRecNo = recno;
    FPendingImage = image;
}

void TableOrders::FlushPending()
{
    if (FPendingRecNo != 0)
        Update(KeySet(FOrders.size()), Keys(FPendingImage, FPendingRecNo), FPendingRecNo);
}

TableOrders::IndexFile* TableOrders::StructuralFile() const
{
    for (const auto& file : FFiles)
        if (file->Structural)
            return file.get();
    return nullptr;
}

bool TableOrders::SharedViewHeld(std::uint64_t& stamp)
{
    IndexFile* structural = StructuralFile();
    if (!structural)
        return false;
    CdxIndexFile& index = *structural->Index;
    // Inside an access the index was just read again under its lock.
    if (stamp == index.Generation() && (FAccessDepth > 0 || index.HeaderUnchanged()))
        return true;
    if (FAccessDepth == 0)
        Access reload(*this, false);
    stamp = index.Generation();
    return false;
}

void TableOrders::RecordWritten()
{
    IndexFile* structural = StructuralFile();
    if (!structural)
        return;
    // Under the index lock, held already when the record's keys move too.
    Access access(*this, true);
    structural->Index->MarkChanged();
}

void TableOrders::ForgetCaches()
{
    for (const auto& file : FFiles)
        file->Index->Refresh(true);
    FCursor.reset();
}

TableOrders::IndexFile* TableOrders::FindFile(const String& path) const
{
    dev_t device;
    ino_t inode;
    if (!Identity(path, device, inode))
        return nullptr;
    for (const auto& file : FFiles)
        if (file->Device == device && file->Inode == inode)
            return file.get();
    return nullptr;
}

TableOrders::IndexFile& TableOrders::OpenFile(const String& path, bool structural, bool create)
{
    FlushPending();
    auto file = std::make_unique<IndexFile>();
    file->Path = path;
    file->Structural = structural;
    bool readOnly = FTable.Mode() == omReadOnly;
    auto mode = create     ? IndexPageStore::Mode::Create
                : readOnly ? IndexPageStore::Mode::OpenReadOnly
                           : IndexPageStore::Mode::Open;
    auto store = std::make_unique<IndexPageStore>(path, mode, &FTable.ChangeJournal());
    file->Handle = store->Handle();
    auto kind = FTable.Mode() == omExclusive ? sharelocks::LockKind::Exclusive : sharelocks::LockKind::Shared;
    if (!file->OpenLock.TryAcquire(file->Handle, sharelocks::OpenModeOffset, kind))
        throw EEngineError(XBE_E_IN_USE, "The index file is in use: " + path);
    Identity(path, file->Device, file->Inode);
    // Another process may be changing a shared index: its header and tags are
    // read under the index lock, as every other read of it is, or a page it is
    // adding could look like damage and the index be left closed.
    if (kind == sharelocks::LockKind::Shared)
        file->IndexLock.Acquire(file->Handle, sharelocks::IndexOffset, kind);
    file->Index = create ? CdxIndexFile::Create(std::move(store)) : CdxIndexFile::Open(std::move(store));
    file->Index->SetCacheBytes(EngineSettings().IndexCacheBytes());
    FFiles.push_back(std::move(file));
    IndexFile& added = *FFiles.back();
    try {
        Collect();
    } catch (...) {
        FFiles.pop_back();
        Collect();
        throw;
    }
    added.IndexLock.Release();
    return added;
}

void TableOrders::Fill(Order& order)
{
    CdxTag& tag = *order.Tag;
    try {
        order.Key = CompileExpression(tag.KeyExpression(), FContext, false);
        if (!tag.ForExpression().empty())
            order.For = CompileExpression(tag.ForExpression(), FContext, true);
    } catch (const EEngineError& error) {
        throw ECdxCorrupt("Index tag " + tag.Name() + " of " + order.File->Path +
                          " does not fit the table: " + error.Message());
    }
    CdxKeyType type = KeyTypeOf(*order.Key, FContext);
    if (type != CdxKeyType::Character && CdxKeyLength(type) != tag.KeyLength())
        throw ECdxCorrupt("Index tag " + tag.Name() + " of " + order.File->Path +
                          " has a key length that does not fit its expression");
    tag.SetKeyType(type);
}

void TableOrders::Collect()
{
    Access access(*this, false);
    // The active order and the scopes stay with tags that are still there.
    const CdxTag* active = FCurrent ? At(FCurrent).Tag : nullptr;
    int current = 0;
    std::vector<std::unique_ptr<Order>> orders;
    for (const auto& file : FFiles)
        for (CdxTag* tag : file->Index->Tags()) {
            auto order = std::make_unique<Order>();
            order->File = file.get();
            order->Tag = tag;
            Fill(*order);
            for (const auto& old : FOrders)
                if (old->Tag == tag) {
                    order->Low = old->Low;
                    order->High = old->High;
                    order->LowText = old->LowText;
                    order->HighText = old->HighText;
                }
            orders.push_back(std::move(order));
            if (tag == active)
                current = int(orders.size());
        }
    FOrders = std::move(orders);
    FCurrent = current;
    FCursor.reset();
}

void TableOrders::OpenStructural()
{
    String path = tablepaths::Sibling(FTable.Path(), ".CDX");
    struct stat info;
    if (FTable.TableType() != 2 || ::stat(path.c_str(), &info) != 0)
        return;
    try {
        OpenFile(path, true, false);
    } catch (const EEngineError& error) {
        Errors().Warn(error.Code(), error.Message());
    } catch (const Exception& error) {
        Errors().Warn(XBE_E_CORRUPT_INDEX, "The index " + path + " is left closed: " + error.Message());
    }
}

void TableOrders::Open(const String& file)
{
    String path = tablepaths::Resolve(file);
    if (FindFile(path))
        return;
    String ext = path.size() >= 4 ? Upper(path.substr(path.size() - 4)) : String();
    if (ext == ".IDX" || ext == ".NTX" || ext == ".NSX")
        throw EEngineError(XBE_E_UNSUPPORTED, "Single-order index files are not supported: " + path);
    struct stat info;
    if (::stat(path.c_str(), &info) != 0)
        throw EEngineError(XBE_E_NOT_FOUND, "Index file not found: " + path);
    try {
        OpenFile(path, false, false);
    } catch (const ECdxCorrupt& error) {
        throw EEngineError(XBE_E_CORRUPT_INDEX, error.Message());
    }
}

void TableOrders::CreateTag(const String& path, const String& name, const String& key, int option,
                            bool descending, const String& forCondition)
{
    if (FTable.Mode() != omExclusive)
        throw EEngineError(XBE_E_EXCLUSIVE,
                           "Creating an index tag needs the table opened exclusively: " + FTable.Path());
    if (option != 0 && option != 1)
        throw EEngineError(XBE_E_UNSUPPORTED, "Index option " + std::to_string(option) + " is not supported");
    String tagName = Upper(name);
    if (!ValidTagName(tagName))
        throw EEngineError(XBE_E_EXPR, "Invalid index tag name \"" + name + "\"");
    auto keyExpression = CompileExpression(key, FContext, false);
    int keyLength = keyExpression->Width();
    if (keyExpression->Type() == xbexpr::ValueType::Character &&
        (keyLength < 1 || keyLength > MaxCharacterKey))
        throw EEngineError(XBE_E_EXPR, "The index key is " + std::to_string(keyLength) +
                                               " bytes long, not 1 to " + std::to_string(MaxCharacterKey) +
                                               ": " + key);
    bool conditional = forCondition.find_first_not_of(' ') != String::npos;
    if (conditional)
        CompileExpression(forCondition, FContext, true);

    IndexFile* file = nullptr;
    bool structural = path.find_first_not_of(' ') == String::npos;
    String target = structural ? tablepaths::Sibling(FTable.Path(), ".CDX") : tablepaths::Resolve(path);
    file = FindFile(target);
    if (!file) {
        struct stat info;
        bool exists = ::stat(target.c_str(), &info) == 0;
        try {
            file = &OpenFile(target, structural, !exists);
        } catch (const ECdxCorrupt&) {
            // A damaged index is made anew.
            file = &OpenFile(target, structural, true);
        }
    }
    if (file->Structural)
        FTable.MarkStructuralIndex();

    CdxTagDefinition definition;
    definition.Name = tagName;
    definition.KeyExpression = key;
    definition.ForExpression = conditional ? forCondition : String();
    definition.KeyType = KeyTypeOf(*keyExpression, FContext);
    definition.KeyLength = keyLength;
    definition.Unique = option == 1;
    definition.Descending = descending;
    // The tag replaced, if any, leaves with its scope.
    FlushPending();
    if (int replaced = Find(tagName); replaced != 0 && At(replaced).File == file) {
        At(replaced).Low.clear();
        At(replaced).High.clear();
        At(replaced).LowText.clear();
        At(replaced).HighText.clear();
    }
    Access access(*this, true);
    CdxTag* tag = &file->Index->CreateTag(definition);
    Collect();
    for (int n = 1; n <= Count(); ++n)
        if (At(n).Tag == tag)
            FCurrent = n;
    Order& order = At(FCurrent);

    CdxKeyList keys(tag->KeyLength());
    String image;
    Integer records = FTable.RecCount();
    keys.Reserve(std::size_t(records));
    for (Integer n = 1; n <= records; ++n) {
        FTable.ReadRecord(n, image);
        if (!KeyInto(order, image, n, keys.Add(std::uint32_t(n))))
            keys.DropLast();
    }
    tag->Build(keys);
}

void TableOrders::Commit()
{
    FlushPending();
    for (const auto& file : FFiles)
        file->Index->Store().Sync();
}

void TableOrders::CloseOthers()
{
    FlushPending();
    FFiles.erase(
            std::remove_if(FFiles.begin(), FFiles.end(), [](const auto& file) { return !file->Structural; }),
            FFiles.end());
    FCurrent = 0;
    Collect();
}

void TableOrders::CloseActive()
{
    FlushPending();
    IndexFile* file = FCurrent ? At(FCurrent).File : nullptr;
    if (file && !file->Structural)
        FFiles.erase(
                std::find_if(FFiles.begin(), FFiles.end(), [&](const auto& f) { return f.get() == file; }));
    FCurrent = 0;
    Collect();
}

void TableOrders::AddKeys(KeyLists& lists, const String& image, Integer recno)
{
    if (lists.size() != FOrders.size()) {
        lists.clear();
        for (const auto& order : FOrders) {
            lists.emplace_back(order->Tag->KeyLength());
            lists.back().Reserve(std::size_t(FTable.RecCount()));
        }
    }
    for (std::size_t i = 0; i < FOrders.size(); ++i)
        if (!KeyInto(*FOrders[i], image, recno, lists[i].Add(std::uint32_t(recno))))
            lists[i].DropLast();
}

void TableOrders::Rebuild()
{
    if (FOrders.empty())
        return;
    KeyLists lists;
    String image;
    Integer records = FTable.RecCount();
    for (Integer n = 1; n <= records; ++n) {
        FTable.ReadRecord(n, image);
        AddKeys(lists, image, n);
    }
    Rebuild(std::move(lists));
}

void TableOrders::Rebuild(KeyLists lists, const std::vector<std::uint32_t>& renumbered)
{
    FlushPending();
    if (FOrders.empty())
        return;
    Access access(*this, true);
    for (std::size_t i = lists.size(); i < FOrders.size(); ++i)
        lists.emplace_back(FOrders[i]->Tag->KeyLength());
    for (std::size_t i = 0; i < FOrders.size(); ++i) {
        std::vector<std::uint32_t> order;
        if (!renumbered.empty())
            order = OrderLikeTag(*FOrders[i]->Tag, renumbered, lists[i]);
        FOrders[i]->Tag->Build(lists[i], std::move(order));
    }
}

void TableOrders::Clear()
{
    FlushPending();
    Access access(*this, true);
    for (const auto& order : FOrders)
        order->Tag->Build(CdxKeyList(order->Tag->KeyLength()));
}

void TableOrders::SetCurrent(int order)
{
    if (order < 0 || order > Count())
        throw EEngineError(XBE_E_BAD_ORDER, "There is no order " + std::to_string(order));
    if (order != FCurrent)
        FCursor.reset();
    FCurrent = order;
}

int TableOrders::Find(const String& tag) const
{
    String wanted = tag;
    while (!wanted.empty() && wanted.back() == ' ')
        wanted.pop_back();
    for (std::size_t i = 0; i < FOrders.size(); ++i)
        if (::strcasecmp(FOrders[i]->Tag->Name().c_str(), wanted.c_str()) == 0)
            return int(i + 1);
    return 0;
}

const String& TableOrders::FileName(int order) const { return FOrders[std::size_t(order - 1)]->File->Path; }

CdxCursor& TableOrders::Cursor()
{
    if (!FCursor)
        FCursor = std::make_unique<CdxCursor>(*Active()->Tag);
    return *FCursor;
}

std::optional<String> TableOrders::KeyOf(Order& order, const String& image, Integer recno, bool ignoreFor)
{
    AreaContext::Probe probe(FContext, image, recno);
    if (order.For && !ignoreFor && !order.For->EvaluateLogical(FContext)) {
        order.For->ClearError();
        return std::nullopt;
    }
    xbexpr::Value value;
    bool evaluated = order.Key->EvaluateKey(FContext, value);
    order.Key->ClearError();
    return KeyOfValue(order, evaluated, value);
}

String TableOrders::KeyOfValue(const Order& order, bool evaluated, const xbexpr::Value& value)
{
    switch (order.Tag->KeyType()) {
    case CdxKeyType::Numeric: return CdxNumericKey(evaluated ? value.Number : 0);
    case CdxKeyType::Date: return CdxDateKey(evaluated ? std::int32_t(value.Number) : 0);
    case CdxKeyType::Logical: return CdxLogicalKey(evaluated && value.Logical);
    case CdxKeyType::Integer: return CdxIntegerKey(evaluated ? std::int32_t(value.Number) : 0);
    default: return CdxCharacterKey(evaluated ? value.Text : String(), order.Tag->KeyLength());
    }
}

bool TableOrders::KeyInto(Order& order, const String& image, Integer recno, Byte* out)
{
    const std::size_t length = std::size_t(order.Tag->KeyLength());
    // A tag over one field alone takes the field's value from the image
    // without evaluating an expression.
    const xbexpr::FieldInfo* field = order.For ? nullptr : order.Key->SoleField();
    if (field && order.Key->Type() == xbexpr::ValueType::Character &&
        order.Tag->KeyType() == CdxKeyType::Character && field->Offset >= 0 &&
        std::size_t(field->Offset) + std::size_t(field->Width) <= image.size()) {
        // The field's bytes, cut or blank-padded to the expression's width
        // and then to the key's, as the expression would give them.
        const std::size_t taken =
                std::min({std::size_t(field->Width), std::size_t(std::max(order.Key->Width(), 0)), length});
        std::memcpy(out, image.data() + field->Offset, taken);
        std::memset(out + taken, ' ', length - taken);
        return true;
    }
    xbexpr::Value value;
    std::optional<String> key;
    if (field && order.Key->Type() != xbexpr::ValueType::Character && order.Key->ReadSoleField(image, value))
        key = KeyOfValue(order, true, value);
    else
        key = KeyOf(order, image, recno);
    if (!key)
        return false;
    std::memcpy(out, key->data(), length);
    return true;
}

TableOrders::KeySet TableOrders::Keys(const String& image, Integer recno)
{
    KeySet keys;
    keys.reserve(FOrders.size());
    for (const auto& order : FOrders) {
        String key(std::size_t(order->Tag->KeyLength()), '\0');
        if (KeyInto(*order, image, recno, reinterpret_cast<Byte*>(key.data())))
            keys.push_back(std::move(key));
        else
            keys.push_back(std::nullopt);
    }
    return keys;
}

void TableOrders::Update(const KeySet& before, const KeySet& after, Integer recno)
{
    if (FOrders.empty())
        return;
    // A record whose keys still wait has none in the tags yet.
    bool waiting = recno == FPendingRecNo;
    if (waiting)
        FPendingRecNo = 0;
    Access access(*this, true);
    WriteKeys(before, after, recno, waiting);
}

void TableOrders::WriteKeys(const KeySet& before, const KeySet& after, Integer recno, bool waiting)
{
    for (std::size_t i = 0; i < FOrders.size() && i < before.size() && i < after.size(); ++i) {
        if (before[i] == after[i] && !waiting)
            continue;
        CdxTag& tag = *FOrders[i]->Tag;
        // A unique tag holds each key for one record only, so it may miss
        // the record's key, or already hold its new one for another record;
        // any other tag must hold the old key and not yet the new one.
        bool loose = tag.Unique() || tag.Candidate();
        auto damaged = [&](const char* what) {
            return ECdxCorrupt("Index tag " + tag.Name() + " of " + FOrders[i]->File->Path +
                               " is damaged: record " + std::to_string(recno) + what +
                               "; reindex the table to rebuild it");
        };
        if (before[i] && !waiting && !tag.Delete(*before[i], std::uint32_t(recno)) && !loose)
            throw damaged(" has no key there");
        if (after[i] && !tag.Insert(*after[i], std::uint32_t(recno)) && !loose)
            throw damaged(" has a key there already");
    }
}

String TableOrders::SeekKey(const Order& order, const String& text, bool exact) const
{
    switch (order.Tag->KeyType()) {
    case CdxKeyType::Numeric: return CdxNumericKey(xbexpr::ValOf(text));
    case CdxKeyType::Integer: return CdxIntegerKey(std::int32_t(xbexpr::ValOf(text)));
    case CdxKeyType::Date: {
        std::size_t first = text.find_first_not_of(' ');
        if (first == String::npos)
            return CdxDateKey(0);
        std::int32_t jdn = 0;
        if (!xbexpr::DtosToDate(text.substr(first), jdn))
            jdn = xbexpr::TextToDate(text, FContext.Settings());
        return CdxDateKey(jdn);
    }
    case CdxKeyType::Logical: {
        std::size_t first = text.find_first_not_of(" .");
        char c = first == String::npos ? 'F' : char(std::toupper(static_cast<unsigned char>(text[first])));
        return CdxLogicalKey(c == 'T' || c == 'Y');
    }
    default:
        return exact ? CdxCharacterKey(text, order.Tag->KeyLength())
                     : text.substr(0, std::size_t(order.Tag->KeyLength()));
    }
}

TableOrders::Access::Access(TableOrders& orders, bool write, bool locklessIfUnchanged)
    : FOrders(orders), FOuter(orders.FAccessDepth == 0)
{
    orders.FWritten = orders.FWritten || write;
    bool shared = orders.FTable.Mode() != omExclusive;
    FLockless = shared && FOuter && !write && locklessIfUnchanged &&
                std::all_of(orders.FFiles.begin(), orders.FFiles.end(),
                            [](const auto& file) { return file->Index->HeaderUnchanged(); });
    if (FOuter)
        for (const auto& file : orders.FFiles)
            file->Index->SetCacheOnly(FLockless);
    if (shared && !FLockless && (FOuter || (write && !orders.FWriteHeld))) {
        auto kind = write ? sharelocks::LockKind::Exclusive : sharelocks::LockKind::Shared;
        for (const auto& file : orders.FFiles) {
            file->IndexLock.Acquire(file->Handle, sharelocks::IndexOffset, kind);
            file->Index->Refresh();
        }
        orders.FWriteHeld = orders.FWriteHeld || write;
    }
    ++orders.FAccessDepth;
    if (!FOuter)
        return;
    for (const auto& file : orders.FFiles)
        file->Index->BeginChanges();
    if (orders.FPendingRecNo != 0) {
        try {
            orders.FlushPending();
        } catch (...) {
            Finish();
            throw;
        }
    }
}

TableOrders::Access::~Access()
{
    if (FOuter)
        Finish();
    else
        --FOrders.FAccessDepth;
}

void TableOrders::Access::Finish()
{
    --FOrders.FAccessDepth;
    for (const auto& file : FOrders.FFiles) {
        try {
            file->Index->EndChanges();
        } catch (const Exception& error) {
            Errors().Record(XBE_E_IO, "The index " + file->Path + " was not written: " + error.Message());
        }
    }
    // What the change wrote into the indexes reaches them before another
    // process may read them. An exclusive open has no such reader: its
    // writes wait for the change's end. A group's wait for its end too
    // (readers see the table as before it until then), and go out under
    // the index lock there.
    try {
        if (FOrders.FTable.Mode() != omExclusive && !FOrders.FTable.InGroup())
            FOrders.FTable.ChangeJournal().Flush();
    } catch (const Exception& error) {
        Errors().Record(XBE_E_IO, "A change was not written whole: " + error.Message());
    }
    for (const auto& file : FOrders.FFiles) {
        file->Index->SetCacheOnly(false);
        file->IndexLock.Release();
    }
    FOrders.FWriteHeld = false;
}
