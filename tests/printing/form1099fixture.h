#pragma once
// A client of the form routine tests, with recipients of both forms: the program
// started in a fresh directory in a preview run (page files), stand-in overlays
// that name themselves, and the page files compared with their golden copies.

#include <functional>
#include <initializer_list>
#include <vector>

#include "tests/printing/formprinterfixture.h"

// One recipient row; amounts in dollars as the table keeps them.
struct TPrintRecipient {
    const char* ID;
    const char* Name1;
    const char* Name2 = "";
    const char* Address = "";
    const char* Csz = "";
    const char* TaxID = "";
    const char* SSN = "";
    const char* TransType = "";
    const char* DirSales = "";
    double Total = 0;
    double Fwt = 0;
    const char* StateID1 = "";
    double Swt1 = 0;
    double StateInc1 = 0;
    const char* StateID2 = "";
    double Swt2 = 0;
    double StateInc2 = 0;
};

class Form1099Fixture : public FormPrinterFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    // The client HARBOR, open, with the payer and the recipients below (in ID
    // order): 1099-MISC A01 (rents), B02 (nonemployee compensation, SSN only,
    // direct sales, two states), G07 (royalties); 1099-INT C03, D04, E05, F06.
    void OpenHarbor();
    void AddRecipients(std::initializer_list<TPrintRecipient> Rows);
    // Stands the client's recipients on the one whose ID this is.
    void GoToRecipient(const String& ID);

    // Builds the print-work table for a form (1: 1099-INT, 2: 1099-MISC) and opens
    // it on its first row, as the print selection form does.
    void BuildPrint(int Mode, bool OnlyCurrent = false);
    // Calls a sheet routine for the rows of the print-work table as the print
    // selection form walks it: once per sheet, moving on a row between calls.
    void WalkPrint(const std::function<void()>& PrintSheet);

    // The run's page files in order.
    std::vector<std::string> Pages() const;
    // Compares the run's page files with tests/printing/golden/<Case>/ and keeps
    // them under the artifact directory's forms/<Case>/. With
    // TOTAMUND_UPDATE_GOLDEN set in the environment the golden copies are written.
    void ExpectGoldenPages(const std::string& Case) const;

    // Puts the overlays the program ships in place of the stand-ins.
    void UseShippedOverlays();
    // Keeps the run's page files under the artifact directory's forms/<Case>/.
    void KeepPages(const std::string& Case) const;
    // Renders the run's pages as the printer prints them, to the screenshot
    // directory's forms/<Case>-<page>.png.
    void KeepPictures(const std::string& Case) const;

    // Calls of the page viewer and the PDF maker.
    std::vector<std::string> PageSteps;
};

// The stand-in overlay of a copy as a page file holds it.
std::string StandInOverlay(const std::string& Name);
