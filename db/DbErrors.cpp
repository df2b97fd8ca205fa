#include "db/DbErrors.h"

namespace tavisto {

void DatabaseError(std::string_view message, std::string_view componentName) {
    std::string text;
    if (!componentName.empty()) {
        text.append(componentName);
        text += ": ";
    }
    text.append(message);
    throw EDatabaseError(text);
}

namespace db_messages {

namespace {

std::string Quoted(std::string_view name) {
    return "'" + std::string(name) + "'";
}

}  // namespace

std::string FieldNotFound(std::string_view fieldName) {
    return "Field " + Quoted(fieldName) + " not found";
}

std::string FieldReadOnly(std::string_view fieldName) {
    return "Field " + Quoted(fieldName) + " is read-only";
}

std::string DuplicateFieldName(std::string_view fieldName) {
    return "Field name " + Quoted(fieldName) + " is used twice";
}

std::string FieldTypeMismatch(std::string_view fieldName, std::string_view fieldType,
                              std::string_view definitionType) {
    return "Field " + Quoted(fieldName) + " is of type " + std::string(fieldType) +
           " but its definition is of type " + std::string(definitionType);
}

std::string NoFieldClass(std::string_view fieldName, std::string_view fieldType) {
    return "No field class for field " + Quoted(fieldName) + " of type " + std::string(fieldType);
}

std::string InvalidFieldValue(std::string_view fieldName, std::string_view reason) {
    return "Invalid value for field " + Quoted(fieldName) + ": " + std::string(reason);
}

}  // namespace db_messages

}  // namespace tavisto
