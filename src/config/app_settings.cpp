#include "config/app_settings.h"

#include "base/codepage.h"
#include "config/globals.h"

#include <algorithm>

namespace kavio {

using namespace settings;

namespace {

// A stored menu index that names no item (an edited file) keeps the default.
template <typename E>
E ReadMenuIndex(const TMemIniFileEx& ini, std::string_view section, std::string_view name, E def,
                int count)
{
    const int32_t value = ini.ReadInteger(section, name, static_cast<int32_t>(def));
    return value >= 0 && value < count ? static_cast<E>(value) : def;
}

template <typename E>
void WriteMenuIndex(TMemIniFileEx& ini, std::string_view name, E value)
{
    ini.WriteInteger(name, static_cast<int32_t>(value));
}

// The opacities are bytes, but a value below the least opacity would leave a window that
// cannot be seen, and keeping only the low byte would turn 256 into 0: clamp instead.
uint8_t ReadAlpha(const TMemIniFileEx& ini, std::string_view section, std::string_view name)
{
    const int32_t value = ini.ReadInteger(section, name, 255);
    return static_cast<uint8_t>(std::clamp<int32_t>(value, kMinAlphaValue, 255));
}

constexpr int kShadeModes = 4;
constexpr int kToolBarPositions = 5;
constexpr int kTitlePolicies = 2;

}  // namespace

TAppSettings::TAppSettings() : DefaultTitle("名称未設定"_sj) {}

TAppSettings DefaultAppSettings(const TScreenDefaults& screen)
{
    TAppSettings s;
    s.FormSize = screen.FormBounds;
    s.MaximumFormSize = screen.WorkArea;
    return s;
}

TAppSettings LoadAppSettings(const TMemIniFileEx& ini, const TScreenDefaults& screen)
{
    std::string_view sec;
    TAppSettings s = DefaultAppSettings(screen);
    const TAppSettings d = s;

    sec = kWindow;
    s.TopMost = ini.ReadBool(sec, kTopMost, d.TopMost);
    s.Shade = ReadMenuIndex(ini, sec, kShade, d.Shade, kShadeModes);
    s.ToolBarPos = ReadMenuIndex(ini, sec, kToolBarPos, d.ToolBarPos, kToolBarPositions);
    s.SaveFormSize = ini.ReadBool(sec, kSaveFormSize, d.SaveFormSize);
    if (s.SaveFormSize)
        s.FormSize = ini.ReadRect(sec, kFormSize, d.FormSize);
    s.SaveShadeState = ini.ReadBool(sec, kSaveShadeState, d.SaveShadeState);
    if (s.SaveShadeState)
        s.FormShade = ini.ReadBool(sec, kFormShade, d.FormShade);
    s.ClipListSize = ini.ReadInteger(sec, kClipListSize, d.ClipListSize);
    s.ShowTaskBar = ini.ReadBool(sec, kShowTaskBar, d.ShowTaskBar);
    s.ShowTaskTray = ini.ReadBool(sec, kShowTaskTray, d.ShowTaskTray);
    s.StartOnMinimize = ini.ReadBool(sec, kStartOnMinimize, d.StartOnMinimize);
    s.HintShortCuts = ini.ReadBool(sec, kHintShortCuts, d.HintShortCuts);
    s.MaximumFormSize = ini.ReadRect(sec, kMaximumFormSize, d.MaximumFormSize);
    s.AlphaValue = ReadAlpha(ini, sec, kAlphaValue);
    s.AlphaValueSubForm = ReadAlpha(ini, sec, kAlphaValueSubForm);
    s.Scheme = ini.ReadString(sec, kScheme, d.Scheme);
    s.AppCloseQuery = ini.ReadBool(sec, kAppCloseQuery, d.AppCloseQuery);
    s.ScreenSnap = ini.ReadBool(sec, kScreenSnap, d.ScreenSnap);
    s.ExitEsc = ini.ReadBool(sec, kExitEsc, d.ExitEsc);

    sec = kSplitter;
    s.SplitterSize = std::clamp(ini.ReadInteger(sec, kSize, d.SplitterSize), 0, kMaxSplitterSize);
    s.SplitterDesign = ini.ReadBool(sec, kDesign, d.SplitterDesign);

    sec = kBook;
    s.SaveBookIndex = ini.ReadBool(sec, kSaveBookIndex, d.SaveBookIndex);
    if (s.SaveBookIndex)
        s.BookIndex = std::max(0, ini.ReadInteger(sec, kBookIndex, d.BookIndex));

    sec = kPage;
    s.ListState = ReadMenuIndex(ini, sec, kListState, d.ListState, kToolBarPositions);
    s.NewPageTitlePolicy =
        ReadMenuIndex(ini, sec, kNewPageTitlePolicy, d.NewPageTitlePolicy, kTitlePolicies);
    s.DefaultTitle = ini.ReadString(sec, kDefaultTitle, d.DefaultTitle);
    s.BookTitleJointer = ini.ReadString(sec, kBookTitleJointer, d.BookTitleJointer);

    sec = kKavioAPI;
    s.AcceptAPI = ini.ReadBool(sec, kAcceptAPI, d.AcceptAPI);
    const int32_t port = ini.ReadInteger(sec, kPortNumber, d.PortNumber);
    s.PortNumber = port >= kMinPortNumber && port <= kMaxPortNumber ? port : d.PortNumber;
    s.AcceptOther = ini.ReadBool(sec, kAcceptOther, d.AcceptOther);
    s.LeaveIPAddress = ini.ReadString(sec, kLeaveIPAddress, d.LeaveIPAddress);

    sec = kSounds;
    s.EnabledSound = ini.ReadBool(sec, kEnabledSound, d.EnabledSound);
    return s;
}

void SaveAppSettings(TMemIniFileEx& ini, const TAppSettings& s)
{
    ini.Section = kWindow;
    ini.WriteBool(kTopMost, s.TopMost);
    WriteMenuIndex(ini, kShade, s.Shade);
    WriteMenuIndex(ini, kToolBarPos, s.ToolBarPos);
    ini.WriteBool(kSaveFormSize, s.SaveFormSize);
    if (s.SaveFormSize)
        ini.WriteRect(kFormSize, s.FormSize);
    ini.WriteBool(kSaveShadeState, s.SaveShadeState);
    if (s.SaveShadeState)
        ini.WriteBool(kFormShade, s.FormShade);
    ini.WriteInteger(kClipListSize, s.ClipListSize);
    ini.WriteBool(kShowTaskBar, s.ShowTaskBar);
    ini.WriteBool(kShowTaskTray, s.ShowTaskTray);
    ini.WriteBool(kStartOnMinimize, s.StartOnMinimize);
    ini.WriteBool(kHintShortCuts, s.HintShortCuts);
    ini.WriteRect(kMaximumFormSize, s.MaximumFormSize);
    ini.WriteInteger(kAlphaValue, s.AlphaValue);
    ini.WriteInteger(kAlphaValueSubForm, s.AlphaValueSubForm);
    ini.WriteString(kScheme, s.Scheme);
    ini.WriteBool(kAppCloseQuery, s.AppCloseQuery);
    ini.WriteBool(kScreenSnap, s.ScreenSnap);
    ini.WriteBool(kExitEsc, s.ExitEsc);

    ini.Section = kSplitter;
    ini.WriteInteger(kSize, s.SplitterSize);
    ini.WriteBool(kDesign, s.SplitterDesign);

    ini.Section = kBook;
    ini.WriteBool(kSaveBookIndex, s.SaveBookIndex);
    if (s.SaveBookIndex)
        ini.WriteInteger(kBookIndex, s.BookIndex);

    ini.Section = kPage;
    WriteMenuIndex(ini, kListState, s.ListState);
    WriteMenuIndex(ini, kNewPageTitlePolicy, s.NewPageTitlePolicy);
    ini.WriteString(kDefaultTitle, s.DefaultTitle);
    ini.WriteString(kBookTitleJointer, s.BookTitleJointer);

    ini.Section = kKavioAPI;
    ini.WriteBool(kAcceptAPI, s.AcceptAPI);
    ini.WriteInteger(kPortNumber, s.PortNumber);
    ini.WriteBool(kAcceptOther, s.AcceptOther);
    ini.WriteString(kLeaveIPAddress, s.LeaveIPAddress);

    ini.Section = kSounds;
    ini.WriteBool(kEnabledSound, s.EnabledSound);
}

void SaveWindowState(TMemIniFileEx& ini, const TAppSettings& s)
{
    const TAppSettings d;
    ini.Section = kWindow;
    ini.WriteBool(kTopMost, s.TopMost);
    WriteMenuIndex(ini, kShade, s.Shade);
    WriteMenuIndex(ini, kToolBarPos, s.ToolBarPos);
    ini.WriteInteger(kClipListSize, s.ClipListSize);
    if (ini.ReadBool(kSaveFormSize, d.SaveFormSize))
        ini.WriteRect(kFormSize, s.FormSize);
    if (ini.ReadBool(kSaveShadeState, d.SaveShadeState))
        ini.WriteBool(kFormShade, s.FormShade);

    ini.Section = kBook;
    if (ini.ReadBool(kSaveBookIndex, d.SaveBookIndex))
        ini.WriteInteger(kBookIndex, s.BookIndex);

    ini.Section = kPage;
    WriteMenuIndex(ini, kListState, s.ListState);

    ini.Section = kSounds;
    ini.WriteBool(kEnabledSound, s.EnabledSound);

    ini.Section = kPage;
    ini.WriteString(kBookTitleJointer, s.BookTitleJointer);
}

int StartBookIndex(const TAppSettings& s, int bookCount)
{
    if (bookCount <= 0)
        return -1;
    return s.SaveBookIndex ? std::clamp(s.BookIndex, 0, bookCount - 1) : 0;
}

int ClipListHeight(const TAppSettings& s)
{
    return std::max(s.ClipListSize, kMinClipListSize);
}

void ApplyDefaultTitle(const TAppSettings& s)
{
    DefaultTitle = s.DefaultTitle;
}

std::vector<std::string> ReadToolLines(const TMemIniFileEx& ini)
{
    std::vector<std::string> lines;
    ini.ReadStrings(kTools, lines);
    return lines;
}

void WriteToolLines(TMemIniFileEx& ini, const std::vector<std::string>& lines)
{
    ini.WriteStrings(kTools, lines, false);
}

}  // namespace kavio
