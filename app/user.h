#pragma once
// The user settings record and its binary file (TOTUSER.USR, or the computer's
// own .USR file in networking mode). The file holds, little-endian and without
// header or padding: the 20 strings (each a signed 16-bit length and its bytes),
// the 10 integers, the 5 floats, the 5 doubles, the 20 flags (one byte each),
// ExtraValue and ClientID (a string). Slots nobody reads are carried through.

#include <array>
#include <cstdint>

#include "platform/classes/object.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/types.h"

class TUser : public TObject {
public:
    // Every string empty, every number 0, every flag false.
    TUser() = default;
    String ClassName() const override { return "TUser"; }

    // Reads the record from the file. A file that is missing or cannot be opened
    // leaves every member as it was. Whatever the file lacks - it ends early, or a
    // string's length is negative or runs past its end - reads as empty, zero or
    // false, from that field to the end of the record.
    void Load(const String& FileName);
    // Writes the record, first beside the file and then renamed over it, so a
    // failed save leaves the previous file whole. Raises EFCreateError when the
    // file cannot be written. A string is stored with at most 32,767 bytes.
    void Save(const String& FileName);

    // Moves every saved field, in file order, between the object and Stream, in
    // the direction IsWriting gives.
    void Transfer();
    // One field each, read or written according to IsWriting.
    void TransferString(String& Value);
    void TransferInt32(Integer& Value);
    void TransferByte(bool& Value);  // read: any byte but 0 is true; written as 0 or 1
    void TransferFloat(float& Value);
    void TransferDouble(double& Value);

    // The longest string the file can hold.
    static constexpr int MaxStringLength = 32767;

    bool IsWriting = false;
    // The stream of the transfer under way; set and cleared by Load and Save.
    TStream* Stream = nullptr;
    Integer ExtraValue = 0;
    std::array<char, 65536> ReadBuffer {};
    std::array<String, 20> Strings;
    std::array<Integer, 10> Values {};
    std::array<float, 5> Floats {};
    std::array<double, 5> Doubles {};
    std::array<bool, 20> Flags {};
    // The current client: the name of its directory under the data directory;
    // empty when no client is chosen.
    String ClientID;

    // The slots in use.
    String& LastRunDate = Strings[0];  // "mm-dd-yyyy" of the last start
    String& DataDir = Strings[1];      // empty: the program directory
    String& MoneyProgramDir = Strings[13];
    String& PayrollProgramDir = Strings[14];
    String& LedgerProgramDir = Strings[15];
    String& CustomerID = Strings[16];
    float& RedCopyOffsetX = Floats[1];  // horizontal adjustment of the red copies
    float& RedCopyOffsetY = Floats[2];  // vertical adjustment of the red copies
    bool& StateAmount = Flags[0];
    bool& PrintFederalCopy = Flags[1];
    bool& PrintCopyC = Flags[2];
    bool& PrintCopyB = Flags[3];
    bool& PrintCopy1 = Flags[4];
    bool& PrintCopy2 = Flags[5];
    bool& NoLaserPrint = Flags[6];

private:
    // Runs Transfer over Source in the given direction.
    void TransferWith(TStream& Source, bool Writing);
    // Size bytes of Bits, least significant first. A read that finds the file
    // ended (now or at an earlier field) gives 0.
    void TransferBits(std::uint64_t& Bits, int Size);
    // Reads Count bytes into Buffer; false, for this field and every later one,
    // once the file holds fewer.
    bool ReadField(char* Buffer, int Count);

    bool FReadEnded = false;
};
