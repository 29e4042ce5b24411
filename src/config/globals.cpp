#include "config/globals.h"

#include "base/codepage.h"

namespace kavio {

std::string AppDir;
std::string ProgramDataDir;
std::string SchemeDir;
std::string PersonalDir;
std::string SettingsFile;
std::string DefaultTitle = "名称未設定"_sj;
std::string HelpFile;

}  // namespace kavio
