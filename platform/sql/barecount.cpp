#include "platform/sql/barecount.h"

#include <sqlite3.h>

#include <cstring>

#include "platform/rtl/strutils.h"

namespace localsql {

namespace {

// A reader of the statement's text, token by token, in SQLite's terms.
class TTokens {
public:
    explicit TTokens(const String& Text) : FText(Text) { }

    size_t Position() const { return FAt; }
    bool AtEnd()
    {
        SkipBlanks();
        return FAt == FText.size();
    }
    // Whether the next token is Word (a keyword, in any case), taking it if so.
    bool Take(const char* Word)
    {
        SkipBlanks();
        const size_t length = std::strlen(Word);
        if (FText.size() - FAt < length || !SameText(FText.substr(FAt, length), Word))
            return false;
        if (IsWordChar(Word[0]) && FAt + length < FText.size() && IsWordChar(FText[FAt + length]))
            return false;
        FAt += length;
        return true;
    }
    // A table's name: a word that is no keyword, or a name in double quotes.
    bool TakeName(String& Name)
    {
        SkipBlanks();
        if (FAt < FText.size() && FText[FAt] == '"') {
            Name.clear();
            for (size_t i = FAt + 1; i < FText.size(); ++i) {
                if (FText[i] != '"') {
                    Name += FText[i];
                } else if (i + 1 < FText.size() && FText[i + 1] == '"') {
                    Name += '"';
                    ++i;
                } else {
                    FAt = i + 1;
                    return !Name.empty();
                }
            }
            return false;
        }
        size_t end = FAt;
        while (end < FText.size() && IsWordChar(FText[end]))
            ++end;
        if (end == FAt || (FText[FAt] >= '0' && FText[FAt] <= '9') ||
            sqlite3_keyword_check(FText.data() + FAt, int(end - FAt)))
            return false;
        Name = FText.substr(FAt, end - FAt);
        FAt = end;
        return true;
    }

private:
    // Only plain ASCII words: a name with other characters is left to SQLite.
    static bool IsWordChar(char C)
    {
        return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z') || (C >= '0' && C <= '9') || C == '_';
    }
    void SkipBlanks()
    {
        while (FAt < FText.size() && std::strchr(" \t\n\f\r", FText[FAt]) && FText[FAt] != '\0')
            ++FAt;
    }

    const String& FText;
    size_t FAt = 0;
};

}  // namespace

bool IsBareCount(const String& Sql, TBareCount& Count)
{
    TTokens tokens(Sql);
    if (!tokens.Take("SELECT") || tokens.AtEnd())
        return false;
    const size_t first = tokens.Position();
    if (!tokens.Take("COUNT") || !tokens.Take("(") || !tokens.Take("*") || !tokens.Take(")"))
        return false;
    const size_t last = tokens.Position();
    if (!tokens.Take("FROM") || !tokens.TakeName(Count.Table))
        return false;
    tokens.Take(";");
    if (!tokens.AtEnd())
        return false;
    Count.Column = Sql.substr(first, last - first);
    return true;
}

bool SameSqlName(const String& A, const String& B)
{
    if (A.size() != B.size())
        return false;
    for (size_t i = 0; i < A.size(); ++i) {
        const char a = A[i], b = B[i];
        if (a != b && ((a & 0x80) || (b & 0x80) || AnsiLowerChar(a) != AnsiLowerChar(b)))
            return false;
    }
    return true;
}

}  // namespace localsql
