#pragma once

#include "config/ini_file.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The settings file "Kavio.ini" in the personal folder: its section and key names, and the
// record of the settings the program applies. Nobody keeps the file open: every reader and
// writer opens its own TMemIniFileEx on SettingsFile, and a writer calls UpdateFile itself.
namespace kavio {

namespace settings {

constexpr std::string_view kWindow = "Window";
constexpr std::string_view kTopMost = "TopMost";
constexpr std::string_view kShade = "Shade";
constexpr std::string_view kToolBarPos = "ToolBarPos";
constexpr std::string_view kSaveFormSize = "SaveFormSize";
constexpr std::string_view kFormSize = "FormSize";
constexpr std::string_view kSaveShadeState = "SaveShadeState";
constexpr std::string_view kFormShade = "FormShade";
constexpr std::string_view kClipListSize = "ClipListSize";
constexpr std::string_view kShowTaskBar = "ShowTaskBar";
constexpr std::string_view kShowTaskTray = "ShowTaskTray";
constexpr std::string_view kStartOnMinimize = "StartOnMinimize";
constexpr std::string_view kHintShortCuts = "HintShortCuts";
constexpr std::string_view kMaximumFormSize = "MaximumFormSize";
constexpr std::string_view kAlphaValue = "AlphaValue";
constexpr std::string_view kAlphaValueSubForm = "AlphaValueSubForm";
constexpr std::string_view kScheme = "Scheme";
constexpr std::string_view kAppCloseQuery = "AppCloseQuery";
constexpr std::string_view kScreenSnap = "ScreenSnap";
constexpr std::string_view kExitEsc = "ExitEsc";

constexpr std::string_view kSplitter = "Splitter";
constexpr std::string_view kSize = "Size";
constexpr std::string_view kDesign = "Design";

constexpr std::string_view kBook = "Book";
constexpr std::string_view kSaveBookIndex = "SaveBookIndex";
constexpr std::string_view kBookIndex = "BookIndex";

constexpr std::string_view kPage = "Page";
constexpr std::string_view kListState = "ListState";
constexpr std::string_view kNewPageTitlePolicy = "NewPageTitlePolicy";
constexpr std::string_view kDefaultTitle = "DefaultTitle";
constexpr std::string_view kBookTitleJointer = "BookTitleJointer";

constexpr std::string_view kKavioAPI = "KavioAPI";
constexpr std::string_view kAcceptAPI = "AcceptAPI";
constexpr std::string_view kPortNumber = "PortNumber";
constexpr std::string_view kAcceptOther = "AcceptOther";
constexpr std::string_view kLeaveIPAddress = "LeaveIPAddress";

// One key per global-hotkey item; the value is the hotkey text.
constexpr std::string_view kHotkeys = "Hotkeys";
constexpr std::string_view kHotkeyItems[] = {"DoCameWindow", "DoJumpMouse", "DoMakeNewPage",
                                             "DoWindowShowHide", "DoPasteNewLine"};

// "EnabledSound" and one key per sound event; an event's value is the path of a WAV file.
constexpr std::string_view kSounds = "Sounds";
constexpr std::string_view kEnabledSound = "EnabledSound";
constexpr std::string_view kSoundEvents[] = {
    "OnNewPage",    "OnWashing",      "OnDeletePage", "OnTurnOver", "OnMovement", "OnSetTitle",
    "OnSetPriority", "OnNewBook",     "OnChangeBook", "OnDeleteBook", "OnShowTreeMode",
    "OnShade",      "OnUnShade",      "OnHotkey",     "OnRestore",  "OnMaximize", "OnHide"};

// One raw line per user tool.
constexpr std::string_view kTools = "Tools";

// The memo pad's editor settings.
constexpr std::string_view kEditorPreference = "Editor.Preference";
constexpr std::string_view kEditorMarks = "Editor.Marks";
constexpr std::string_view kEditorTextMarkup = "Editor.TextMarkup";
constexpr std::string_view kEditorWordWrap = "Editor.WordWrap";
constexpr std::string_view kEditorReserveWords = "Editor.ReserveWords";

// The design height of the clip-file list, and the least height the splitter leaves it.
constexpr int kDesignClipListSize = 81;
constexpr int kMinClipListSize = 20;
constexpr int kMinAlphaValue = 30;
constexpr int kMaxSplitterSize = 10;
constexpr int kMinPortNumber = 1024;
constexpr int kMaxPortNumber = 32767;

}  // namespace settings

// Items of the window-shade menu, in menu order (the stored index).
enum class TShadeMode : uint8_t { smDisable, smWhenDisactive, smWhenMouseLeave, smWhenTitleBar };

// Items of the tool-bar position menu, in menu order (the stored index).
enum class TToolBarPos : uint8_t { tbHide, tbRight, tbBottom, tbLeft, tbTop };

enum class TNewPageTitlePolicy : uint8_t {
    tpDefaultTitle,   // new pages keep the default title
    tpFollowFirstLine // a page still titled with the default follows its first line
};

// Screen-dependent defaults the core cannot know: the window's bounds before any setting is
// applied, and the screen work area.
struct TScreenDefaults {
    TRect FormBounds;
    TRect WorkArea;
};

// Every setting of the settings file's [Window], [Splitter], [Book], [Page] and [KavioAPI]
// sections and the sound switch of [Sounds], with the defaults of a missing file.
struct TAppSettings {
    // Set by the exit command for the close query; never stored.
    bool ExitRequested = false;

    // [Window]
    bool TopMost = false;
    TShadeMode Shade = TShadeMode::smDisable;
    TToolBarPos ToolBarPos = TToolBarPos::tbLeft;
    bool SaveFormSize = true;
    TRect FormSize;          // normal bounds; kept only while SaveFormSize
    bool SaveShadeState = false;
    bool FormShade = false;  // kept only while SaveShadeState
    int ClipListSize = settings::kDesignClipListSize;
    bool ShowTaskBar = false;
    bool ShowTaskTray = true;
    bool StartOnMinimize = false;
    bool HintShortCuts = true;
    TRect MaximumFormSize;
    uint8_t AlphaValue = 255;         // 30..255
    uint8_t AlphaValueSubForm = 255;  // 30..255
    std::string Scheme = "gray.ini";
    bool AppCloseQuery = false;
    bool ScreenSnap = false;
    bool ExitEsc = false;

    // [Splitter]
    int SplitterSize = 3;  // 0..10
    bool SplitterDesign = false;

    // [Book]
    bool SaveBookIndex = false;
    int BookIndex = 0;  // kept only while SaveBookIndex

    // [Page]
    // The tool-bar position a second time; applied after ToolBarPos, so it decides.
    TToolBarPos ListState = TToolBarPos::tbRight;
    TNewPageTitlePolicy NewPageTitlePolicy = TNewPageTitlePolicy::tpDefaultTitle;
    std::string DefaultTitle;  // "名称未設定" in code-page bytes, set by the constructor
    std::string BookTitleJointer = "->";  // empty: the book title is not shown

    // [KavioAPI]
    bool AcceptAPI = true;
    int PortNumber = 8200;  // 1024..32767
    bool AcceptOther = false;
    std::string LeaveIPAddress = "192.168.*.*";

    // [Sounds]
    bool EnabledSound = true;

    TAppSettings();
    bool operator==(const TAppSettings&) const = default;
};

// The defaults of a missing settings file on this screen.
TAppSettings DefaultAppSettings(const TScreenDefaults& screen = {});

// Every key of the record, each with its default when missing or unreadable. Values outside
// their range fall back to the default (menu indexes, title policy, port) or are clamped (the
// opacities to 30..255, the splitter to 0..10). FormSize,
// FormShade and BookIndex are read only while their switch is on.
TAppSettings LoadAppSettings(const TMemIniFileEx& ini, const TScreenDefaults& screen = {});
// Writes every key of the record; FormSize, FormShade and BookIndex only while their switch is
// on, so that a value kept from an earlier run stays in the file untouched.
void SaveAppSettings(TMemIniFileEx& ini, const TAppSettings& settings);

// The keys shut-down writes, in its order. The switches of FormSize, FormShade and BookIndex
// are read back from the file, which the preferences dialog may have changed during the run.
void SaveWindowState(TMemIniFileEx& ini, const TAppSettings& settings);

// The book to select at start-up: the remembered index clamped into the list, or book 0;
// -1 for an empty list.
int StartBookIndex(const TAppSettings& settings, int bookCount);

// Height of the clip-file list for the remembered height: never below the splitter's minimum.
int ClipListHeight(const TAppSettings& settings);

// New books and pages take the applied default title.
void ApplyDefaultTitle(const TAppSettings& settings);

// The [Tools] section: one raw line per tool, written without the empty-line marker.
std::vector<std::string> ReadToolLines(const TMemIniFileEx& ini);
void WriteToolLines(TMemIniFileEx& ini, const std::vector<std::string>& lines);

}  // namespace kavio
