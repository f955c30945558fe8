#pragma once
// The exception the table layer's own checks raise.

#include "platform/rtl/exceptions.h"

class EDaroruError : public Exception {
public:
    using Exception::Exception;
};
