#include "tests/xbengine/enginetest.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

void EngineTest::SetUp()
{
    Scratch.emplace("xbengine");
    Dir = Scratch->Path();
    E.xb_CloseAll();
    E.xb_SetDeleted(0);
    E.xb_SetExact(0);
    E.xb_SetSoftSeek(0);
    E.xb_SetCentury(0);
    E.xb_SetDateFormat(0);
    E.xb_SetEpoch(1900);
    E.xb_SetMemoBlockSize(64);
    E.xb_SetLockTimeout(1);
    E.xb_ErrorLevel(1);
    E.xb_SetErrorFunc(nullptr, 0);
}

void EngineTest::TearDown()
{
    E.xb_CloseAll();
    Scratch.reset();
}

XBSHORT EngineTest::Create(const std::string& path, const std::vector<FieldSpec>& fields, XBSHORT type)
{
    XBSHORT area = E.xb_CreateNew(path.c_str(), "", type, XBSHORT(fields.size()));
    EXPECT_GT(area, 0) << E.xbx_LastErrorText();
    E.xb_Select(area);
    for (const FieldSpec& f : fields)
        E.xb_CreateField(f.Name, f.Type, XBSHORT(f.Width), XBSHORT(f.Decimals));
    EXPECT_NE(E.xb_CreateExec(), 0) << E.xbx_LastErrorText();
    return area;
}

void EngineTest::AppendTexts(const std::vector<std::pair<const char*, std::string>>& values)
{
    ASSERT_NE(E.xb_AppendBlank(), 0) << E.xbx_LastErrorText();
    for (const auto& [field, text] : values)
        ASSERT_NE(E.xb_Replace(field, 1024, text.c_str()), 0) << field << ": " << E.xbx_LastErrorText();
}

std::string EngineTest::Memo(const char* field)
{
    char* text = E.xb_GetMemo(field, 0);
    std::string result = text;
    E.xb_MemDealloc(text);
    return result;
}

std::vector<int> EngineTest::VisibleForward()
{
    std::vector<int> seen;
    for (E.xb_GoTop(); !E.xb_Eof(); E.xb_Skip(1))
        seen.push_back(E.xb_RecNo());
    return seen;
}

std::vector<int> EngineTest::VisibleBackward()
{
    std::vector<int> seen;
    for (E.xb_GoBottom(); !E.xb_Eof();) {
        seen.push_back(E.xb_RecNo());
        E.xb_Skip(-1);
        if (E.xb_Bof())
            break;
    }
    return seen;
}

std::vector<unsigned char> EngineTest::ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void EngineTest::WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}
