#pragma once
// The PDF maker: the page images of a form print run, in the program directory,
// joined into one PDF file, one US Letter page each with the page image filling
// the page and the stamp picture archiveby.bmp, when the program directory has
// one, as a narrow strip at the left edge near the bottom. The user is told how
// many pages it holds and may open it.
//
// A page goes into one PDF only: once the file is complete the page images it
// took (and the PCL pages they were made from) are removed, so that the next
// PDF of the same run, another recipient's, holds its own pages alone.

#include "platform/rtl/types.h"

// The page images MakePdfFromPages joins.
enum TPdfPageKind {
    pkReportBitmaps = 1,  // the report page writer's PRV*.BMP
    pkFormPages = 2,  // a form run's page metafiles WMF*.WMF, or its page bitmaps BMP*.BMP after a canvas run
};

// Writes Stem + ".PDF" from the pages of Mode (any mode but 1 takes the form
// pages), then asks whether to open it. Errors of the PDF component and of
// page images that cannot be read end it before the question.
void MakePdfFromPages(const String& Stem, int Mode);
