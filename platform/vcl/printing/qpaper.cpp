#include "platform/vcl/printing/qpaper.h"

#include <vector>

#include "platform/vcl/printing/printers.h"

namespace {

struct PaperCode {
    int Code;
    QPageSize::PageSizeId Size;
};

constexpr PaperCode PaperCodes[] = {
        {1, QPageSize::Letter},      {3, QPageSize::Tabloid},
        {4, QPageSize::Ledger},      {5, QPageSize::Legal},
        {6, QPageSize::Statement},   {7, QPageSize::Executive},
        {8, QPageSize::A3},          {9, QPageSize::A4},
        {11, QPageSize::A5},         {12, QPageSize::JisB4},
        {13, QPageSize::JisB5},      {20, QPageSize::Envelope10},
        {27, QPageSize::EnvelopeDL}, {28, QPageSize::EnvelopeC5},
        {34, QPageSize::EnvelopeB5}, {37, QPageSize::EnvelopeMonarch},
};

}  // namespace

QPageSize PaperCodeToPageSize(int Code)
{
    for (const PaperCode& paper : PaperCodes) {
        if (paper.Code == Code)
            return QPageSize(paper.Size);
    }
    return QPageSize();
}

int PageSizeToPaperCode(const QPageSize& Size)
{
    for (const PaperCode& paper : PaperCodes) {
        if (QPageSize(paper.Size).isEquivalentTo(Size))
            return paper.Code;
    }
    return 0;
}

std::vector<int> PrinterPaperCodes()
{
    std::vector<int> codes;
    for (const PaperCode& paper : PaperCodes)
        codes.push_back(paper.Code);
    return codes;
}
