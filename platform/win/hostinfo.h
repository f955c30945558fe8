#pragma once
// The computer's name, as the settings file of each computer is named after it.

#include "platform/rtl/types.h"

class THostInfo {
public:
    virtual ~THostInfo() = default;
    // The host's short name (before any ".") in capitals, as Windows gives computer
    // names; "" when it cannot be read.
    virtual String ComputerName() const = 0;
};

class TSystemHostInfo : public THostInfo {
public:
    String ComputerName() const override;
};

const THostInfo& HostInfo();
// Installs Info (not owned; null restores the system's); returns the previous one.
const THostInfo* SetHostInfo(const THostInfo* Info);
