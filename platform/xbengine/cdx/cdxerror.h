#pragma once
// The error of a compound index whose bytes break the format: a wrong
// signature, a page outside the file, a bad link or a cycle. The engine reports
// it as its corrupt-index code.

#include "platform/rtl/exceptions.h"

class ECdxCorrupt : public Exception {
public:
    using Exception::Exception;
};

// A read made without the index lock needed a page that was not in the
// cache: the caller takes the lock and reads again.
class ECdxCacheMiss : public Exception {
public:
    using Exception::Exception;
};
