#pragma once
// The PDF export component as the program places it.

#include "platform/pdf/pxpdfr1.h"
#include "platform/rtl/strutils.h"

class TPXPDFPrinter : public TPXCustomPDFExport {
public:
    using TPXCustomPDFExport::TPXCustomPDFExport;
    String ClassName() const override { return "TPXPDFPrinter"; }
    bool InheritsFrom(const String& name) const override
    {
        return SameText(name, "TPXPDFPrinter") || TPXCustomPDFExport::InheritsFrom(name);
    }
};
