#pragma once

#include <string>
#include <string_view>

#include "platform/Exceptions.h"

namespace tavisto {

// The data-set framework's error; the engine's errors derive from it.
class EDatabaseError : public Exception {
public:
    using Exception::Exception;
};

// Raises EDatabaseError with message, prefixed by "<componentName>: " when a name is given.
[[noreturn]] void DatabaseError(std::string_view message, std::string_view componentName = {});

// The framework's own messages.
namespace db_messages {

inline constexpr std::string_view kDataSetClosed = "Data set is closed; open it first";
inline constexpr std::string_view kDataSetOpen = "Data set is open; close it first";
inline constexpr std::string_view kDataSetReadOnly = "Data set is read-only";
inline constexpr std::string_view kNotEditing = "Data set is not in edit or insert state";
inline constexpr std::string_view kDataSetEmpty = "Data set has no records";
inline constexpr std::string_view kRecordNotFound = "Record not found; it may have been deleted";
inline constexpr std::string_view kInvalidBookmark = "Bookmark does not belong to this data set";
inline constexpr std::string_view kTooManyValues = "More values given than the data set has fields";

std::string FieldNotFound(std::string_view fieldName);
std::string FieldReadOnly(std::string_view fieldName);
std::string DuplicateFieldName(std::string_view fieldName);
std::string FieldTypeMismatch(std::string_view fieldName, std::string_view fieldType,
                              std::string_view definitionType);
std::string NoFieldClass(std::string_view fieldName, std::string_view fieldType);
std::string InvalidFieldValue(std::string_view fieldName, std::string_view reason);

}  // namespace db_messages

}  // namespace tavisto
