#pragma once
// Raw printing: documents whose bytes go to a printer queue unchanged, past any
// driver or filter (PCL pages and soft fonts for a laser printer). On Linux the
// queues are the print system's (CUPS) destinations.

#include <memory>
#include <vector>

#include "platform/rtl/types.h"

// One opened printer. A document is StartDoc, any number of Write, EndDoc; each call
// answers whether it worked, and after a false LastError says why. Destroying the
// object with a document still open cancels that document.
class TRawPrinterHandle {
public:
    virtual ~TRawPrinterHandle() = default;
    // Starts a one-copy document named DocName; false when the queue refuses it.
    virtual bool StartDoc(const String& DocName) = 0;
    virtual bool Write(const String& Bytes) = 0;
    // Ends the document; true only once the queue has accepted all of it.
    virtual bool EndDoc() = 0;
    virtual String LastError() const = 0;
};

class TRawPrintService {
public:
    virtual ~TRawPrintService() = default;
    // The printer of that queue name; null when there is no such printer or the print
    // system cannot be reached.
    virtual std::unique_ptr<TRawPrinterHandle> OpenPrinter(const String& Name) = 0;
};

// The print system's queues, reached through libcups (its server as the user's CUPS
// settings and the CUPS_SERVER environment name it).
class TCupsRawPrintService : public TRawPrintService {
public:
    std::unique_ptr<TRawPrinterHandle> OpenPrinter(const String& Name) override;
};

// What became of a document sent with PrintRawDocument.
struct TRawPrintResult {
    bool Opened = false;  // false: no printer of that name
    String Error;         // "" when the document was accepted
    bool Printed() const { return Opened && Error.empty(); }
};
// Sends one whole document, each of Parts with one write, to the printer of that queue
// name. An unknown printer gets nothing; a document the queue refuses part-way is
// cancelled there.
TRawPrintResult PrintRawDocument(const String& PrinterName, const String& DocName,
                                 const std::vector<String>& Parts);

TRawPrintService& RawPrinting();
// Installs Value (not owned; null restores the print system's); returns the previous one.
TRawPrintService* SetRawPrinting(TRawPrintService* Value);
