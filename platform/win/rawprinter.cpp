#include "platform/win/rawprinter.h"

#include <cups/cups.h>

#include "platform/rtl/cp1252.h"

namespace {

TRawPrintService* Current = nullptr;

String CupsError()
{
    const char* text = cupsLastErrorString();
    return Utf8ToCp1252(text && *text ? text : "the print system did not answer");
}

// A queue of the CUPS server, printed to over the default connection.
class TCupsPrinter : public TRawPrinterHandle {
public:
    explicit TCupsPrinter(std::string Queue) : FQueue(std::move(Queue)) { }
    ~TCupsPrinter() override
    {
        if (FJob)
            cupsCancelJob2(CUPS_HTTP_DEFAULT, FQueue.c_str(), FJob, 1);
    }

    bool StartDoc(const String& DocName) override
    {
        if (FJob)
            return Fail("a document is already open");
        const std::string title = Cp1252ToUtf8(DocName);
        FJob = cupsCreateJob(CUPS_HTTP_DEFAULT, FQueue.c_str(), title.c_str(), 0, nullptr);
        if (!FJob)
            return Fail(CupsError());
        if (cupsStartDocument(CUPS_HTTP_DEFAULT, FQueue.c_str(), FJob, title.c_str(), CUPS_FORMAT_RAW, 1) !=
            HTTP_STATUS_CONTINUE)
            return Cancel();
        return true;
    }

    bool Write(const String& Bytes) override
    {
        if (!FJob)
            return Fail("no document is open");
        if (cupsWriteRequestData(CUPS_HTTP_DEFAULT, Bytes.data(), Bytes.size()) != HTTP_STATUS_CONTINUE)
            return Cancel();
        return true;
    }

    bool EndDoc() override
    {
        if (!FJob)
            return Fail("no document is open");
        const ipp_status_t status = cupsFinishDocument(CUPS_HTTP_DEFAULT, FQueue.c_str());
        if (status > IPP_STATUS_OK_EVENTS_COMPLETE)
            return Cancel();
        FJob = 0;
        return true;
    }

    String LastError() const override { return FError; }

private:
    bool Fail(const String& Error)
    {
        FError = Error;
        return false;
    }
    // Keeps the print system's reason, then removes what it holds of the job.
    bool Cancel()
    {
        FError = CupsError();
        cupsCancelJob2(CUPS_HTTP_DEFAULT, FQueue.c_str(), FJob, 1);
        FJob = 0;
        return false;
    }

    std::string FQueue;
    int FJob = 0;
    String FError;
};

}  // namespace

std::unique_ptr<TRawPrinterHandle> TCupsRawPrintService::OpenPrinter(const String& Name)
{
    if (Name.empty())
        return nullptr;
    const std::string full = Cp1252ToUtf8(Name);
    const size_t slash = full.find('/');
    const std::string queue = full.substr(0, slash);
    const std::string instance = slash == std::string::npos ? std::string() : full.substr(slash + 1);
    cups_dest_t* dest =
            cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.c_str(), instance.empty() ? nullptr : instance.c_str());
    if (!dest)
        return nullptr;
    auto printer = std::make_unique<TCupsPrinter>(dest->name);
    cupsFreeDests(1, dest);
    return printer;
}

TRawPrintResult PrintRawDocument(const String& PrinterName, const String& DocName,
                                 const std::vector<String>& Parts)
{
    TRawPrintResult result;
    const std::unique_ptr<TRawPrinterHandle> printer = RawPrinting().OpenPrinter(PrinterName);
    if (!printer)
        return result;
    result.Opened = true;
    bool ok = printer->StartDoc(DocName);
    for (size_t i = 0; ok && i < Parts.size(); ++i)
        ok = printer->Write(Parts[i]);
    if (ok)
        ok = printer->EndDoc();
    if (!ok)
        result.Error = printer->LastError();
    return result;
}

TRawPrintService& RawPrinting()
{
    static TCupsRawPrintService system;
    return Current ? *Current : system;
}

TRawPrintService* SetRawPrinting(TRawPrintService* Value)
{
    TRawPrintService* previous = Current;
    Current = Value;
    return previous;
}
