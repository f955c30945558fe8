#pragma once
// A sample table with a memo field and six tags, and what a table holds as
// the engine reads it: each record's image and memo text, and the records
// each tag's walk visits. The damage tests and the damage fuzz compare
// them before and after a write.

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/xbengine/xbebinding.h"

inline const std::vector<std::string>& SampleTags()
{
    static const std::vector<std::string> tags = {"NAME", "CITY", "AMOUNT", "DAY", "NUM", "CODE"};
    return tags;
}

// The memo text of record n of the sample.
inline std::string SampleMemo(int n)
{
    return "memo of record " + std::to_string(n) + ": " +
           std::string(std::size_t(360 + n), char('a' + n % 26));
}

// Creates the sample at path (no extension) with `records` records, closed.
// False with the engine's error when it cannot.
inline bool CreateSample(XbeBinding& e, const std::string& path, int records)
{
    XBSHORT area = e.xb_CreateNew(path.c_str(), "", 2, 7);
    if (area <= 0)
        return false;
    e.xb_Select(area);
    e.xb_CreateField("NAME", "C", 24, 0);
    e.xb_CreateField("CITY", "C", 10, 0);
    e.xb_CreateField("AMOUNT", "N", 10, 2);
    e.xb_CreateField("DAY", "D", 8, 0);
    e.xb_CreateField("NUM", "N", 6, 0);
    e.xb_CreateField("CODE", "C", 4, 0);
    e.xb_CreateField("TEXT", "M", 10, 0);
    if (!e.xb_CreateExec())
        return false;
    for (int n = 1; n <= records; ++n) {
        // Names that share little, so the NAME tag needs several leaves.
        char word[13] = {};
        for (int i = 0; i < 12; ++i)
            word[i] = char('a' + (n * 7 + i * 3) % 26);
        char name[32], city[16], amount[16], day[16], num[16], code[8];
        std::snprintf(name, sizeof name, "n%03d-%s-%02d", n * 37 % 101, word, n);
        std::snprintf(city, sizeof city, "city %d", n % 7);
        std::snprintf(amount, sizeof amount, "%d.25", n * 3);
        std::snprintf(day, sizeof day, "202401%02d", n % 28 + 1);
        std::snprintf(num, sizeof num, "%d", 1000 - n);
        std::snprintf(code, sizeof code, "C%d", n % 5);
        if (!e.xb_AppendBlank())
            return false;
        for (auto [field, text] : {std::pair<const char*, const char*> {"NAME", name},
                                   {"CITY", city},
                                   {"AMOUNT", amount},
                                   {"DAY", day},
                                   {"NUM", num},
                                   {"CODE", code}})
            if (!e.xb_Replace(field, 1024, text))
                return false;
        if (!e.xb_Replace("TEXT", 3072, SampleMemo(n).c_str()))
            return false;
    }
    for (const std::string& tag : SampleTags())
        if (e.xb_IndexTag("", tag.c_str(), tag.c_str(), 0, 0, "") <= 0)
            return false;
    e.xb_Close();
    return true;
}

struct TableSnapshot {
    std::vector<std::string> Images;  // record n at n - 1
    std::vector<std::string> Memos;
    std::vector<bool> MemosRead;          // the memo read without an error
    std::vector<std::vector<int>> Walks;  // one per tag of SampleTags(), in walk order
    std::vector<bool> TagsOpen;           // the tag could be walked
};

// Reads the selected area in natural order and then in each tag's order; a
// walk ends at end of file or after more steps than a whole walk takes.
inline TableSnapshot Snapshot(XbeBinding& e)
{
    TableSnapshot snapshot;
    int count = e.xb_RecCount();
    std::string image(std::size_t(std::max(e.xb_RecSize(), 0)) + 1, '\0');
    e.xb_SetOrder(0);
    for (int n = 1; n <= count; ++n) {
        e.xb_Go(n);
        e.xb_GetRecord(image.data());
        snapshot.Images.push_back(image.substr(0, image.size() - 1));
        char* memo = e.xb_GetMemo("TEXT", 0);
        snapshot.MemosRead.push_back(e.xbx_LastError() == 0);
        snapshot.Memos.push_back(memo ? memo : "");
        e.xb_MemDealloc(memo);
    }
    for (const std::string& tag : SampleTags()) {
        std::vector<int>& walk = snapshot.Walks.emplace_back();
        XBSHORT order = e.xb_TagArea(tag.c_str());
        snapshot.TagsOpen.push_back(order > 0 && e.xb_SetOrder(order) >= 0);
        if (!snapshot.TagsOpen.back())
            continue;
        for (e.xb_GoTop(); !e.xb_Eof() && int(walk.size()) <= 2 * count + 2; e.xb_Skip(1))
            walk.push_back(e.xb_RecNo());
    }
    e.xb_SetOrder(0);
    return snapshot;
}

// The records of a walk in record-number order: 1..n once each when whole.
inline std::vector<int> Sorted(std::vector<int> walk)
{
    std::sort(walk.begin(), walk.end());
    return walk;
}

inline std::vector<int> OneToN(int n)
{
    std::vector<int> all(std::size_t(std::max(n, 0)));
    for (int i = 0; i < n; ++i)
        all[std::size_t(i)] = i + 1;
    return all;
}
