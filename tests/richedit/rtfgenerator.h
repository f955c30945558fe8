#pragma once
// Random RTF documents of what word processors write: paragraphs with character and
// paragraph formats, text in several code pages, numbered and bulleted lists in both list
// forms, tables (some nested), hyperlinks and other fields.

#include <QByteArray>

#include <random>

namespace rtftest {

// About Paragraphs paragraphs, tables and list items counted as one each.
QByteArray GeneratedRtf(std::mt19937& Random, int Paragraphs);

}  // namespace rtftest
