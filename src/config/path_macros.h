#pragma once

#include <array>
#include <string>

// Folder macros let a stored path name a well-known folder ("%PERSONAL%/Kavio") instead of its
// literal place, so settings move with the user. Only a macro at the very start of a path counts,
// spelled exactly (letter case included).
namespace kavio {

struct SystemEnvironment;

constexpr size_t kPathMacroCount = 11;

// In table order; folding tries the rows in this order, so "%PERSONAL%" wins over the folders
// that usually lie inside the documents folder.
inline constexpr std::array<const char*, kPathMacroCount> kPathMacros = {
    "%PERSONAL%",      "%MYMUSIC%",  "%APPDATA%",   "%COMMON_APPDATA%",
    "%WINDOWS%",       "%SYSTEMS%",  "%PROGRAM_FILES%", "%MYPICTURES%",
    "%PROFILE%",       "%PROGRAM_FILES_COMMON%", "%APPLICATION%",
};

// The folder of each macro, in table order, without a trailing "/" (the root stays "/").
// Code-page bytes; "" where no folder could be found.
using PathMacroFolders = std::array<std::string, kPathMacroCount>;

// Determines the folders once, before any settings are read:
//   %PERSONAL%  the XDG documents folder (user-dirs.dirs), else ~/Documents when it exists, else
//               the desktop folder when it exists, else the home folder;
//   %MYMUSIC%, %MYPICTURES%  the XDG music and pictures folders (else ~/Music, ~/Pictures when
//               they exist, else the documents folder);
//   %APPDATA%   $XDG_CONFIG_HOME (~/.config);  %COMMON_APPDATA%  $XDG_DATA_HOME (~/.local/share);
//   %WINDOWS% "/";  %SYSTEMS% "/usr/bin";  %PROGRAM_FILES% "/usr";  %PROFILE% the home folder;
//   %PROGRAM_FILES_COMMON% "/usr/share";  %APPLICATION% the executable's folder.
void InitPathMacros(const SystemEnvironment& env);
// Sets the table directly (tests).
void SetPathMacroFolders(const PathMacroFolders& folders);
const PathMacroFolders& GetPathMacroFolders();

// $XDG_CONFIG_HOME and $XDG_DATA_HOME with their defaults under $HOME, as code-page bytes
// without a trailing "/"; "" when neither the variable nor HOME gives a usable folder.
std::string XdgConfigHome(const SystemEnvironment& env);
std::string XdgDataHome(const SystemEnvironment& env);

// A leading macro replaced by its folder; any other text unchanged.
std::string ExpandPathMacros(const std::string& text);
// A leading folder replaced by its macro (first matching row wins); any other path unchanged.
// Rows whose folder is unknown never match, and neither does the root ("%WINDOWS%"): on this
// platform it holds every path, and the later rows (pictures, home, program folder) must win. The rest of the path is kept whole: cutting it (as
// a platform with 260-character paths might) would store a different path than was given.
std::string FoldPathMacros(const std::string& path);

}  // namespace kavio
