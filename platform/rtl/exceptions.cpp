#include "platform/rtl/exceptions.h"
