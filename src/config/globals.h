#pragma once

#include <string>

// Folders and names established once at start-up and read everywhere. All paths are code-page
// bytes and folders end with "/".
namespace kavio {

// The folder of the executable ("%APPLICATION%").
extern std::string AppDir;
// Where the location file "Kavio.ini", the "scheme" folder and the tools' "mem*.tmp" files live:
// the program folder when it is writable, otherwise $XDG_DATA_HOME/kavio/.
extern std::string ProgramDataDir;
// ProgramDataDir + "scheme/": the colour scheme files.
extern std::string SchemeDir;
// The user's personal folder: settings, "BookFileList.lst", books and pages without a folder
// of their own, clipped files copied in.
extern std::string PersonalDir;
// PersonalDir + "Kavio.ini".
extern std::string SettingsFile;
// The title of new books and pages: "名称未設定" until the settings are applied.
extern std::string DefaultTitle;
// The help file (the executable's path with ".hlp"); it does not exist on this platform.
extern std::string HelpFile;

}  // namespace kavio
