// Files and folders. Paths are the operating system's bytes (UTF-8); folders returned here end
// with "/" so that a file name can be appended directly.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace os {

std::string ExecutablePath();
std::string ExecutableDir();  // with the trailing "/"
std::string TempDir();        // $TMPDIR, else /tmp; with the trailing "/"

bool FileExists(const std::string& path);  // a regular file
bool DirectoryExists(const std::string& path);
bool DeleteFile(const std::string& path);
std::optional<uint64_t> FileSize(const std::string& path);
// Renames, replacing a file that already has the new name.
bool RenameFile(const std::string& from, const std::string& to);
// Creates the folder and its missing parents with the given mode.
bool MakeDirectories(const std::string& path, unsigned mode = 0755);

std::string IncludeTrailingSlash(std::string path);
std::string ParentDir(std::string_view path);  // with the trailing "/"

// The bytes an unprivileged writer may still add on the file system that holds `path`.
std::optional<uint64_t> FreeDiskBytes(const std::string& path);

std::optional<std::string> ReadWholeFile(const std::string& path);

// Writes `data` to a temporary file beside `path`, flushes it to disk and renames it over
// `path`: readers see either the old or the new content, never a mix, whatever happens in
// between. `beforeRename` is a seam for tests that stop the writer at the worst moment.
bool WriteFileAtomically(const std::string& path, std::string_view data,
                         const std::function<void()>& beforeRename = {});

}  // namespace os
