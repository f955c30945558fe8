#pragma once
// Indexed access to the lists of components, forms and the like.

#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/strutils.h"

// The item at Index; raises ERangeError "List index out of bounds (n)" outside the list.
template<class T> const T& ListItem(const std::vector<T>& List, int Index)
{
    if (Index < 0 || static_cast<std::size_t>(Index) >= List.size()) {
        String message = "List index out of bounds (";
        message.append(IntToStr(Index)).append(")");
        throw ERangeError(message);
    }
    return List[static_cast<std::size_t>(Index)];
}
