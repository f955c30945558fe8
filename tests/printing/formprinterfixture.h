#pragma once
// A program directory with its main window, for the form page engine: one copy,
// printing (no preview, no PDF), and the page files of a run read back.

#include "tests/support/keepcopy.h"
#include "tests/support/shellfixture.h"

class FormPrinterFixture : public ShellFixture {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        StartMain();
        FMain->Copies = 1;
        FMain->PrinterName = "Laser";
    }

    // Keeps a copy of a file of the run where a reviewer can open it.
    void KeepArtifact(const std::string& Name, const std::string& As) const
    {
        KeepCopy(Dir / Name, TOTAMUND_ARTIFACT_DIR "/printing", As);
    }
};

// The escape byte, to write PCL commands readably.
inline std::string Esc(const std::string& Command) { return "\x1b" + Command; }
