#include "config/color_scheme.h"

#include "base/error.h"
#include "base/file_system.h"

#include <algorithm>
#include <set>

namespace kavio {

using namespace scheme;

TColor TColorScheme::RowColor(int priority, bool selected) const
{
    const size_t i = static_cast<size_t>(std::clamp(priority, 1, 5) - 1);
    return selected ? SelectPriorityColor[i] : PriorityColor[i];
}

std::string PriorityKey(int priority)
{
    return std::string(1, static_cast<char>('0' + 6 - priority));
}

// Keys are read in file order of dependence: a default that names another key takes the value
// just read for it.
TColorScheme LoadColorScheme(const TMemIniFileEx& ini)
{
    const TColorScheme d;
    TColorScheme s;

    const TColor base = ini.ReadColor(kFormColor, "BaseColor", d.TBarFinishColor);
    s.TBarStartColor = ini.ReadColor(kFormColor, "TBarStartColor", d.TBarStartColor);
    s.TBarFinishColor = ini.ReadColor(kFormColor, "TBarFinishColor", base);
    s.BackColor = ini.ReadColor(kFormColor, "BackColor", d.BackColor);
    s.BorderColor = ini.ReadColor(kFormColor, "BorderColor", d.BorderColor);
    s.WindowColor = ini.ReadColor(kFormColor, "WindowColor", d.WindowColor);
    s.TextColor = ini.ReadColor(kFormColor, "TextColor", d.TextColor);
    s.TitleColor = ini.ReadColor(kFormColor, "TitleColor", d.TitleColor);
    s.TitleShadowColor = ini.ReadColor(kFormColor, "TitleShadowColor", d.TitleShadowColor);
    s.SquareColor = ini.ReadColor(kFormColor, "SquareColor", d.SquareColor);

    s.BarBackColor = ini.ReadColor(kEditorColor, "BarBackColor", s.WindowColor);
    s.BarColor = ini.ReadColor(kEditorColor, "BarColor", s.TextColor);
    s.RulerMark = ini.ReadColor(kEditorColor, "RulerMark", d.RulerMark);
    s.EditorEvenLine = ini.ReadColor(kEditorColor, "EditorEvenLine", d.EditorEvenLine);
    s.EditorCurrentLine = ini.ReadColor(kEditorColor, "EditorCurrentLine", d.EditorCurrentLine);

    for (int priority = 1; priority <= 5; ++priority) {
        const size_t i = static_cast<size_t>(priority - 1);
        s.PriorityColor[i] = ini.ReadColor(kPriorityColor, PriorityKey(priority), d.PriorityColor[i]);
    }
    s.PriorityTextColor = ini.ReadColor(kPriorityColor, kText, d.PriorityTextColor);
    for (int priority = 1; priority <= 5; ++priority) {
        const size_t i = static_cast<size_t>(priority - 1);
        s.SelectPriorityColor[i] =
            ini.ReadColor(kSelectPriorityColor, PriorityKey(priority), d.SelectPriorityColor[i]);
    }
    s.SelectPriorityTextColor = ini.ReadColor(kSelectPriorityColor, kText, d.SelectPriorityTextColor);
    // An explicit copy, not the named local: g++ may build a returned local in the place of an
    // assignment's target (`scheme = LoadColorScheme(...)`), and a colour that fails to read
    // would then leave the caller's scheme half overwritten.
    return TColorScheme(s);
}

TColorScheme LoadColorScheme(const std::string& path)
{
    if (path.empty())
        return TColorScheme();
    return LoadColorScheme(TMemIniFileEx(path));
}

std::string SchemeDisplayName(const std::string& path)
{
    try {
        return TMemIniFileEx(path).ReadString(kData, kName, "");
    } catch (const EKavioError&) {
        return {};
    }
}

std::vector<TSchemeEntry> ListSchemes(const std::vector<std::string>& folders)
{
    std::vector<TSchemeEntry> entries;
    std::set<std::string> seen;
    for (const std::string& folder : folders) {
        if (folder.empty())
            continue;
        const std::string dir = fs::IncludeTrailingDelimiter(folder);
        for (const std::string& fileName : fs::ListFiles(dir, "*.ini")) {
            // A file of the same name in an earlier folder hides this one, listed or not.
            if (!seen.insert(fileName).second)
                continue;
            std::string name = SchemeDisplayName(dir + fileName);
            if (name.empty())
                continue;
            entries.push_back({fileName, std::move(name), dir + fileName});
        }
    }
    std::sort(entries.begin(), entries.end(),
              [](const TSchemeEntry& a, const TSchemeEntry& b) { return a.FileName < b.FileName; });
    return entries;
}

}  // namespace kavio
