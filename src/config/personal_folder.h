#pragma once

#include "base/error.h"

#include <string>

namespace kavio {

struct SystemEnvironment;

// Start-up could not make a folder it needs; the program shows the message and ends.
class EStartupError : public EKavioError {
public:
    using EKavioError::EKavioError;
};

// Establishes AppDir, ProgramDataDir, SchemeDir, PersonalDir, SettingsFile, DefaultTitle,
// HelpFile, DefaultIniFile and NameCounter.
//
// Expects InitPathMacros to have run (the personal folder's location may begin with a macro);
// RunStartupSteps does both. The personal folder is the entry of the user's log-on name (or
// "DefaultUser") in section [PersonalDirectory] of ProgramDataDir + "Kavio.ini", a file only read
// here; without an entry it is "%PERSONAL%/Kavio". The scheme folder and the personal folder are
// made one level deep when missing. Every check comes before the first folder is made, so a
// personal folder whose parent is missing throws EStartupError with nothing created and the
// globals untouched.
void InitPersonalDirectory(const SystemEnvironment& env);

// InitPathMacros, then InitPersonalDirectory.
void RunStartupSteps(const SystemEnvironment& env);

}  // namespace kavio
