#include "efile/transmitterdata.h"

#include <array>

#include "app/clientdatabase.h"
#include "app/mainform.h"
#include "app/user.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/fileops.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/texthelpers.h"

namespace {

const char* const TransmitterDataFileName = "ELFTRANS.DTA";

// The data module's fields in the order of the file's lines.
using TTransmitterField = String TDClientDataBase::*;
const std::array<TTransmitterField, 12> TransmitterFields = {
        &TDClientDataBase::TransmitterTIN,      &TDClientDataBase::ControlCode,
        &TDClientDataBase::ForeignEntity,       &TDClientDataBase::TransmitterName,
        &TDClientDataBase::ReplacementFileName, &TDClientDataBase::Resubmission,
        &TDClientDataBase::LastFiling,          &TDClientDataBase::CorrectionFile,
        &TDClientDataBase::ContactName,         &TDClientDataBase::ContactPhone,
        &TDClientDataBase::ContactEmail,        &TDClientDataBase::Interest1099,
};

// "" when no client is chosen.
String ClientCopy(const TDClientDataBase& Data)
{
    const String& id = Data.User ? Data.User->ClientID : String();
    return id.empty() ? String() : Data.ClientDir(id) + TransmitterDataFileName;
}

String GeneralCopy(const TDClientDataBase& Data) { return Data.ProgramDir + TransmitterDataFileName; }

// Versions after 01.01.06 keep the 1099-INT choice in the twelfth line.
bool KnowsTwelfthLine(const String& Version) { return CharsFrom(DigitsOnly(Version), 3) > "010106"; }

}  // namespace

void ReadTransmitterData()
{
    TDClientDataBase& data = *DClientDataBase;
    String path = ClientCopy(data);
    if (path.empty() || !FileExists(path))
        path = GeneralCopy(data);
    if (!FileExists(path))
        return;
    TStringList lines;
    lines.LoadFromFile(path);
    const size_t count =
            KnowsTwelfthLine(FMain->Version) ? TransmitterFields.size() : TransmitterFields.size() - 1;
    for (size_t i = 0; i < count; ++i) {
        const int line = static_cast<int>(i);
        data.*TransmitterFields[i] = line < lines.Count() ? lines[line] : String();
    }
}

void WriteTransmitterData()
{
    TDClientDataBase& data = *DClientDataBase;
    String bytes;
    for (const TTransmitterField field : TransmitterFields)
        bytes += data.*field + "\r\n";
    String failed;
    for (const String& path : {ClientCopy(data), GeneralCopy(data)}) {
        if (!path.empty() && !WriteFileAtomically(path, bytes))
            failed += (failed.empty() ? "" : " and ") + path;
    }
    if (!failed.empty())
        throw EInOutError("Unable to write " + failed);
}
