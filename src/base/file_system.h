#pragma once

#include <string>
#include <string_view>
#include <vector>

// The one place where Kavio touches the file system. Paths inside Kavio are code-page bytes, as
// they are stored in book files and settings; every routine here converts them to the file
// system's UTF-8 first. A path the conversion cannot carry is an error, never a wrong file.
namespace kavio::fs {

constexpr char kDelimiter = '/';

// Code-page path to the file system's UTF-8, or EKavioError when the path holds bytes the code
// page does not define.
std::string ToNative(std::string_view path);
// File-system name to code-page bytes; false when the name holds a character the code page cannot.
bool FromNative(std::string_view native, std::string& path);

// True for an existing file that is not a folder.
bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
// Makes one folder level; false when it cannot (parent missing, no permission, ...).
bool CreateDirectory(const std::string& path);
// Whether files can be created in the folder.
bool IsWritableDirectory(const std::string& path);

// Removes a file. A missing file is no error (returns false); any other failure throws.
bool RemoveFile(const std::string& path);
// Renames or moves a file on the same file system; throws on failure.
void RenameFile(const std::string& from, const std::string& to);

// Whole file as bytes; throws ESystemError naming the file when it cannot be read.
std::string ReadFile(const std::string& path);
// Replaces the file with `bytes` atomically: a temporary file in the same folder is written,
// flushed to disk and renamed over the old one. On any failure the old file is left as it was,
// the temporary file is removed and ESystemError is thrown.
void WriteFileAtomic(const std::string& path, std::string_view bytes);

// Names (not paths) of the files in `folder` whose names match `pattern` ("*" and "?",
// case-sensitive). Names the code page cannot hold are skipped.
std::vector<std::string> ListFiles(const std::string& folder, const std::string& pattern = "*");

// Path helpers on code-page bytes ("/" never occurs as a second byte in the code page).
std::string ExtractFilePath(const std::string& path);   // folder with trailing "/", or ""
std::string ExtractFileName(const std::string& path);   // part after the last "/"
std::string IncludeTrailingDelimiter(const std::string& path);
std::string ExcludeTrailingDelimiter(const std::string& path);

}  // namespace kavio::fs
