#include "addin/platform/win32/dialog_layout.h"

#include "addin/dialog/linkaddress/texts.h"

namespace tervane::win32 {
namespace {

constexpr DWORD kLabel = SS_LEFT;
constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP;
constexpr DWORD kCheck = BS_CHECKBOX | WS_TABSTOP;
// Both lists keep the height the layout gives them, not a whole number of
// items.
constexpr DWORD kList = WS_VSCROLL | WS_BORDER | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_TABSTOP;

constexpr ControlSpec kSpecs[] = {
    {kLabel4, L"STATIC", kLabel, 0, texts::kLabel4, {120, 0, 2415, 255}, false},
    {kLocation,
     L"EDIT",
     ES_AUTOHSCROLL | WS_TABSTOP,
     WS_EX_CLIENTEDGE,
     texts::kLocationInitial,
     {120, 240, 4815, 375},
     false},
    {kLocationSetBtn, L"BUTTON", kButton, 0, texts::kLocationSetBtn, {4920, 240, 855, 375}, false},
    {kGetPageInfo, L"BUTTON", kButton, 0, texts::kGetPageInfo, {5760, 240, 855, 375}, false},
    {kLabel1, L"STATIC", kLabel, 0, texts::kLabel1, {120, 720, 2415, 255}, false},
    {kDir1,
     L"LISTBOX",
     kList | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_WANTKEYBOARDINPUT,
     0,
     "",
     {120, 1320, 2655, 3870},
     false},
    {kLabel2, L"STATIC", kLabel, 0, texts::kLabel2, {3000, 720, 3015, 255}, false},
    {kFile1, L"LISTBOX", kList | LBS_EXTENDEDSEL, 0, "", {2880, 960, 3615, 4230}, false},
    {kLabel3, L"STATIC", kLabel, 0, texts::kLabel3, {6720, 720, 1455, 255}, false},
    {kFilter0, L"BUTTON", kCheck, 0, texts::kFilterCaptions[0], {6720, 960, 1455, 255}, false},
    {kFilter1, L"BUTTON", kCheck, 0, texts::kFilterCaptions[1], {6720, 1200, 1575, 255}, false},
    {kFilter2, L"BUTTON", kCheck, 0, texts::kFilterCaptions[2], {6720, 1440, 1575, 255}, false},
    {kFilter3, L"BUTTON", kCheck, 0, texts::kFilterCaptions[3], {6720, 1680, 1575, 255}, false},
    {kImgModeFrame,
     L"BUTTON",
     BS_GROUPBOX,
     0,
     texts::kImgModeFrame,
     {6600, 2040, 1695, 1095},
     false},
    {kOptWithText,
     L"BUTTON",
     BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP,
     0,
     texts::kOptWithText,
     {120, 240, 1335, 255},
     true},
    {kOptWithImg,
     L"BUTTON",
     BS_AUTORADIOBUTTON,
     0,
     texts::kOptWithImg,
     {120, 480, 1215, 255},
     true},
    {kOptImgOnly,
     L"BUTTON",
     BS_AUTORADIOBUTTON,
     0,
     texts::kOptImgOnly,
     {120, 720, 1215, 255},
     true},
    {kSelectAllBtn,
     L"BUTTON",
     kButton | WS_GROUP,
     0,
     texts::kSelectAllBtn,
     {6600, 3240, 1695, 375},
     false},
    {kReverseExistLink,
     L"BUTTON",
     kButton,
     0,
     texts::kReverseExistLink,
     {6600, 3720, 1695, 375},
     false},
    {kOKButton, L"BUTTON", kButton, 0, texts::kOKButton, {6720, 4320, 1455, 375}, false},
    {kDrive1,
     L"COMBOBOX",
     CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP,
     0,
     "",
     {120, 960, 2655, 300},
     false},
    {kCancelButton, L"BUTTON", kButton, 0, texts::kCancelButton, {6720, 4800, 1455, 375}, false},
    // The version notice opens the maker's home page on a click. It stays out
    // of the Tab order on purpose: it is no part of the work, and a screen
    // reader reads it as the window's text.
    {kLabel5, L"STATIC", kLabel | SS_NOTIFY, 0, texts::kLabel5, {6600, 0, 1695, 375}, false},
};

}  // namespace

std::span<const ControlSpec> DialogControlSpecs() { return kSpecs; }

}  // namespace tervane::win32
