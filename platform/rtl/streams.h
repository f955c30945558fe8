#pragma once
// Streams of bytes: the abstract TStream, files, memory and text in memory.

#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/sharelocks.h"
#include "platform/rtl/types.h"

class EStreamError : public Exception {
public:
    using Exception::Exception;
};
// ReadBuffer got fewer bytes than asked: "Stream read error".
class EReadError : public EStreamError {
public:
    using EStreamError::EStreamError;
};
// WriteBuffer wrote fewer bytes than asked: "Stream write error".
class EWriteError : public EStreamError {
public:
    using EStreamError::EStreamError;
};
// "Cannot open file "name". reason"
class EFOpenError : public EStreamError {
public:
    using EStreamError::EStreamError;
};
// "Cannot create file "name". reason"
class EFCreateError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

enum TSeekOrigin { soFromBeginning = 0, soFromCurrent = 1, soFromEnd = 2 };

// File open modes: one access mode, or'ed with one share mode.
constexpr Word fmOpenRead = 0x0000;
constexpr Word fmOpenWrite = 0x0001;
constexpr Word fmOpenReadWrite = 0x0002;
constexpr Word fmShareCompat = 0x0000;
constexpr Word fmShareExclusive = 0x0010;
constexpr Word fmShareDenyWrite = 0x0020;
constexpr Word fmShareDenyRead = 0x0030;
constexpr Word fmShareDenyNone = 0x0040;
// Creates the file, or empties an existing one; opens it for reading and writing.
constexpr Word fmCreate = 0xFF00;

class TStream {
public:
    virtual ~TStream() = default;

    // Up to Count bytes; returns how many were transferred.
    virtual Int64 Read(void* Buffer, Int64 Count) = 0;
    virtual Int64 Write(const void* Buffer, Int64 Count) = 0;
    // Returns the new position.
    virtual Int64 Seek(Int64 Offset, TSeekOrigin Origin) = 0;

    Int64 Position() { return Seek(0, soFromCurrent); }
    void SetPosition(Int64 Value) { Seek(Value, soFromBeginning); }
    virtual Int64 Size();
    virtual void SetSize(Int64 NewSize) = 0;

    // Exactly Count bytes, or EReadError / EWriteError.
    void ReadBuffer(void* Buffer, Int64 Count);
    void WriteBuffer(const void* Buffer, Int64 Count);
    // Copies Count bytes from Source's position; Count 0 copies all of Source from its start.
    Int64 CopyFrom(TStream& Source, Int64 Count);
};

// A file on disk. Every open holds the open-mode byte of the file
// (sharelocks::OpenModeOffset): a write lock for fmShareExclusive and fmCreate
// without a share mode, a read lock otherwise, so others see the file in use.
class TFileStream : public TStream {
public:
    // Raises EFOpenError / EFCreateError (also when another open holds the file
    // exclusively, or, for an exclusive open or create, holds it at all).
    TFileStream(const String& FileName, Word Mode);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    Int64 Read(void* Buffer, Int64 Count) override;
    Int64 Write(const void* Buffer, Int64 Count) override;
    Int64 Seek(Int64 Offset, TSeekOrigin Origin) override;
    void SetSize(Int64 NewSize) override;

    const String& FileName() const { return FFileName; }
    int Handle() const { return FHandle; }

private:
    String FFileName;
    int FHandle = -1;
    sharelocks::OfdLock FOpenLock;
};

// Bytes in memory that grow as they are written.
class TMemoryStream : public TStream {
public:
    Int64 Read(void* Buffer, Int64 Count) override;
    Int64 Write(const void* Buffer, Int64 Count) override;
    Int64 Seek(Int64 Offset, TSeekOrigin Origin) override;
    Int64 Size() override { return static_cast<Int64>(FData.size()); }
    // Keeps the bytes below NewSize; new bytes are zero; the position stays within.
    void SetSize(Int64 NewSize) override;

    // The bytes; valid until the size changes.
    Byte* Memory() { return FData.data(); }
    const Byte* Memory() const { return FData.data(); }
    void Clear();
    // Replace the contents with all of Stream / the file; the position goes to 0.
    void LoadFromStream(TStream& Stream);
    void LoadFromFile(const String& FileName);
    // Write all of the contents, whatever the position.
    void SaveToStream(TStream& Stream) const;
    void SaveToFile(const String& FileName) const;

protected:
    std::vector<Byte> FData;
    Int64 FPosition = 0;
};

// A memory stream seen as text.
class TStringStream : public TMemoryStream {
public:
    explicit TStringStream(const String& Text = String());
    String DataString() const;
    // Up to Count bytes from the position.
    String ReadString(Int64 Count);
    void WriteString(const String& Text);
};
