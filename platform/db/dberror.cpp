#include "platform/db/dberror.h"

#include "platform/classes/component.h"

void DatabaseError(const String& Message, const TComponent* Component)
{
    if (Component && !Component->Name().empty())
        throw EDatabaseError(Component->Name() + ": " + Message);
    throw EDatabaseError(Message);
}

namespace dbtext {

namespace {
String Quoted(const String& Name) { return "'" + Name + "'"; }
}  // namespace

String FieldNotFound(const String& FieldName) { return "Field " + Quoted(FieldName) + " not found"; }
String FieldRequired(const String& FieldName) { return "Field " + Quoted(FieldName) + " must have a value"; }
String FieldReadOnly(const String& FieldName) { return "Field " + Quoted(FieldName) + " cannot be modified"; }
String DuplicateField(const String& FieldName) { return "Duplicate field name " + Quoted(FieldName); }

String FieldRange(const String& Value, const String& FieldName, const String& Min, const String& Max)
{
    return "Value " + Value + " is out of range for field " + Quoted(FieldName) + " (" + Min + " to " + Max +
           ")";
}

String FieldAccess(const String& FieldName, const String& Kind)
{
    return "Field " + Quoted(FieldName) + " cannot be used as " + Kind;
}

String FieldTypeUnsupported(const String& FieldName)
{
    return "Field " + Quoted(FieldName) + " has a type the data set cannot hold";
}

String InvalidBooleanText(const String& Text, const String& FieldName)
{
    return Quoted(Text) + " is not a valid Boolean value for field " + Quoted(FieldName);
}

}  // namespace dbtext
