#include "platform/FileSystem.h"

#include <filesystem>
#include <system_error>

namespace tavisto {

namespace fs = std::filesystem;

namespace {

// The host's calls stop at a zero byte, so such a name would name some other file.
bool IsUsableName(const std::string& name) {
    return !name.empty() && name.find('\0') == std::string::npos;
}

fs::file_status StatusOf(const std::string& name) {
    if (!IsUsableName(name)) return fs::file_status(fs::file_type::not_found);
    std::error_code error;
    return fs::status(name, error);
}

}  // namespace

bool FileExists(const std::string& name) {
    return fs::is_regular_file(StatusOf(name));
}

bool DirectoryExists(const std::string& name) {
    return fs::is_directory(StatusOf(name));
}

std::string CurrentDirectory() {
    std::error_code error;
    fs::path current = fs::current_path(error);
    if (error) throw EInOutError("Cannot determine the current directory: " + error.message());
    return current.string();
}

std::string ExpandFileName(const std::string& name) {
    if (name.empty()) return {};
    fs::path path(name);
    if (path.is_relative()) path = fs::path(CurrentDirectory()) / path;
    return path.lexically_normal().string();
}

bool RemoveFile(const std::string& name) {
    if (!FileExists(name)) return true;
    std::error_code error;
    fs::remove(name, error);
    return !FileExists(name);
}

bool ForceDirectories(const std::string& name) {
    if (!IsUsableName(name)) return false;
    std::error_code error;
    fs::create_directories(name, error);
    return DirectoryExists(name);
}

}  // namespace tavisto
