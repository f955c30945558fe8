#pragma once
// The framework's exception and the texts it raises.

#include "platform/rtl/exceptions.h"
#include "platform/rtl/types.h"

class TComponent;

class EDatabaseError : public Exception {
public:
    using Exception::Exception;
};

// Raises EDatabaseError with Message, preceded by "Name: " when Component has a name.
[[noreturn]] void DatabaseError(const String& Message, const TComponent* Component = nullptr);

// The framework's own messages.
namespace dbtext {
inline constexpr const char* DataSetClosed = "Cannot perform this operation on a closed data set";
inline constexpr const char* DataSetOpen = "Cannot perform this operation on an open data set";
inline constexpr const char* DataSetEmpty = "Cannot perform this operation on an empty data set";
inline constexpr const char* DataSetReadOnly = "Cannot modify a read-only data set";
inline constexpr const char* NotEditing = "Data set is not in edit or insert mode";
inline constexpr const char* RecordNotFound = "Record not found";
inline constexpr const char* CircularLink = "A data source cannot be linked to itself";

String FieldNotFound(const String& FieldName);
String FieldRequired(const String& FieldName);
String FieldReadOnly(const String& FieldName);
String DuplicateField(const String& FieldName);
String FieldRange(const String& Value, const String& FieldName, const String& Min, const String& Max);
// "Field 'X' cannot be used as Kind" for a conversion the field type has not.
String FieldAccess(const String& FieldName, const String& Kind);
String FieldTypeUnsupported(const String& FieldName);
String InvalidBooleanText(const String& Text, const String& FieldName);
}  // namespace dbtext
