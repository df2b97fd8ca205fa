#pragma once

#include <string>

#include "platform/Exceptions.h"

namespace tavisto {

// A file-system operation that could not be carried out.
class EInOutError : public Exception {
public:
    using Exception::Exception;
};

// True when name is a regular file (links followed). Folders, devices and pipes are not files;
// an empty name, a name holding a zero byte or one the host cannot use is simply not there.
bool FileExists(const std::string& name);

// True when name is a folder (links followed); same rules for unusable names as FileExists.
bool DirectoryExists(const std::string& name);

// The process's current working directory, without a trailing delimiter (except for a root).
// Raises EInOutError when the host cannot tell it (for example, the folder was removed).
std::string CurrentDirectory();

// The absolute, normalised path of name; a relative name is taken from the current working
// directory at this moment. An empty name gives the empty text. Raises EInOutError like
// CurrentDirectory when a relative name needs a working directory that cannot be told.
std::string ExpandFileName(const std::string& name);

// Deletes the file name. Returns true when no file is under name afterwards (also when there
// was none); a folder under name is left alone. Never raises.
bool RemoveFile(const std::string& name);

// Creates the folder name together with every missing parent folder. Returns true when the
// folder exists afterwards. Never raises.
bool ForceDirectories(const std::string& name);

}  // namespace tavisto
