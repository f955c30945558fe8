#include "app/user.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <memory>

#include "platform/rtl/fileops.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/sharelocks.h"

static_assert(TUser::MaxStringLength < sizeof(TUser::ReadBuffer),
              "a string read and its terminating zero fit the buffer");

void TUser::Load(const String& FileName)
{
    std::unique_ptr<TFileStream> file;
    try {
        file = std::make_unique<TFileStream>(FileName, fmOpenRead);
    } catch (const EFOpenError&) {
        return;
    }
    TransferWith(*file, false);
}

void TUser::Save(const String& FileName)
{
    TMemoryStream bytes;
    TransferWith(bytes, true);
    errno = 0;
    if (!WriteFileAtomically(FileName, String(reinterpret_cast<const char*>(bytes.Memory()),
                                              static_cast<size_t>(bytes.Size())))) {
        int error = errno;
        String reason = sharelocks::FileInUse(ResolvePath(FileName))
                                ? String("The file is in use by another user or program.")
                                : String(std::strerror(error != 0 ? error : EIO));
        throw EFCreateError("Cannot create file \"" + FileName + "\". " + reason);
    }
}

void TUser::TransferWith(TStream& Source, bool Writing)
{
    Stream = &Source;
    IsWriting = Writing;
    FReadEnded = false;
    const ScopeExit forgetStream([this] { Stream = nullptr; });
    Transfer();
}

void TUser::Transfer()
{
    for (String& s : Strings)
        TransferString(s);
    for (Integer& v : Values)
        TransferInt32(v);
    for (float& f : Floats)
        TransferFloat(f);
    for (double& d : Doubles)
        TransferDouble(d);
    for (bool& b : Flags)
        TransferByte(b);
    TransferInt32(ExtraValue);
    TransferString(ClientID);
}

void TUser::TransferString(String& Value)
{
    if (IsWriting) {
        // A longer string would not fit the signed length; it is cut rather than
        // written with a length that misreads the rest of the file.
        std::uint64_t n = std::min<size_t>(Value.size(), MaxStringLength);
        TransferBits(n, 2);
        Stream->WriteBuffer(Value.data(), static_cast<Int64>(n));
        return;
    }
    Value.clear();
    std::uint64_t bits = 0;
    TransferBits(bits, 2);
    auto n = static_cast<SmallInt>(static_cast<std::uint16_t>(bits));
    if (n < 0) {
        // A damaged file: nothing after this length can be placed.
        FReadEnded = true;
        return;
    }
    if (!ReadField(ReadBuffer.data(), n))
        return;
    ReadBuffer[n] = '\0';
    // The text ends at the first zero byte.
    Value.assign(ReadBuffer.data(), ::strnlen(ReadBuffer.data(), static_cast<size_t>(n)));
}

void TUser::TransferInt32(Integer& Value)
{
    std::uint64_t bits = static_cast<std::uint32_t>(Value);
    TransferBits(bits, 4);
    Value = static_cast<Integer>(static_cast<std::uint32_t>(bits));
}

void TUser::TransferByte(bool& Value)
{
    std::uint64_t bits = Value ? 1 : 0;
    TransferBits(bits, 1);
    Value = bits != 0;
}

void TUser::TransferFloat(float& Value)
{
    std::uint64_t bits = std::bit_cast<std::uint32_t>(Value);
    TransferBits(bits, 4);
    Value = std::bit_cast<float>(static_cast<std::uint32_t>(bits));
}

void TUser::TransferDouble(double& Value)
{
    std::uint64_t bits = std::bit_cast<std::uint64_t>(Value);
    TransferBits(bits, 8);
    Value = std::bit_cast<double>(bits);
}

void TUser::TransferBits(std::uint64_t& Bits, int Size)
{
    char bytes[8];
    if (IsWriting) {
        for (int i = 0; i < Size; ++i)
            bytes[i] = static_cast<char>(Bits >> (8 * i));
        Stream->WriteBuffer(bytes, Size);
        return;
    }
    Bits = 0;
    if (!ReadField(bytes, Size))
        return;
    for (int i = 0; i < Size; ++i)
        Bits |= static_cast<std::uint64_t>(static_cast<Byte>(bytes[i])) << (8 * i);
}

bool TUser::ReadField(char* Buffer, int Count)
{
    if (!FReadEnded && Stream->Read(Buffer, Count) == Count)
        return true;
    FReadEnded = true;
    return false;
}
