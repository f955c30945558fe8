#pragma once
// The read-only registry: the machine's settings the program looks up, kept in a
// small key/value file in the program directory.

#include "platform/rtl/types.h"

class TRegistryReader {
public:
    virtual ~TRegistryReader() = default;
    // The string value Name of Key under HKEY_LOCAL_MACHINE ("SOFTWARE\KORVANE\" with or
    // without its trailing backslash, any case); "" when the key or the value is missing.
    virtual String ReadMachineString(const String& Key, const String& Name) const = 0;
};

// The registry file: a heading per key, "[HKEY_LOCAL_MACHINE\SOFTWARE\KORVANE]", and a
// "Name=Value" line per value. A missing file holds nothing.
class TRegistryFile : public TRegistryReader {
public:
    explicit TRegistryFile(const String& FileName) : FFileName(FileName) { }
    String ReadMachineString(const String& Key, const String& Name) const override;

private:
    String FFileName;
};

// The registry file's name in the program directory.
constexpr const char* RegistryFileName = "REGISTRY.INI";

// The registry in use: the program directory's file unless a test installed another.
const TRegistryReader& Registry();
// Installs Reader (not owned; null restores the file); returns the previous one.
const TRegistryReader* SetRegistry(const TRegistryReader* Reader);
