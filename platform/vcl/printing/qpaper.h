#pragma once
// The DEVMODE paper codes against Qt's page sizes.

#include <QPageSize>

// The size of a DEVMODE paper code; an invalid size for a code without one.
QPageSize PaperCodeToPageSize(int Code);
// The code of a page size; 0 for a size no code stands for.
int PageSizeToPaperCode(const QPageSize& Size);
