#include "faces/win32/desktop/options_sheet.h"

#include <commdlg.h>

// The choosers are called by their ANSI names; the macros would rename the View page
// rules' own ChooseColor and ChooseFont.
#undef ChooseColor
#undef ChooseFont

#include "faces/win32/desktop/player_info_dlg.h"
#include "faces/win32/desktop/win32_user_messages.h"
#include "resources/resource_ids.h"
#include "rules/desk/codecs_page_rules.h"
#include "rules/desk/disks_page_rules.h"
#include "rules/desk/general_page_rules.h"
#include "rules/desk/players_page_rules.h"
#include "rules/desk/view_page_rules.h"

namespace quorvel::win32 {
namespace {

const res::DialogTemplate& TemplateOf(int templateId) {
  return *res::FindDialogTemplate(templateId);
}

// The General page: "Start as" and the Micro DVD switches enable each other.
class CGeneralPage final : public COptionsPage {
 public:
  CGeneralPage(Settings& settings, const Services& services)
      : COptionsPage(res::kGeneralPage), rules_(settings, services, *this) {
    Attach(rules_);
  }

 private:
  void OnCommand(int id, int notification) override {
    if (id == res::general::kReadMdvd && notification == BN_CLICKED) rules_.OnReadMdvdClicked();
    if (id == res::general::kStartAs && notification == CBN_SELCHANGE) rules_.OnStartAsChosen();
  }
  desk::GeneralPageRules rules_;
};

// The Disks page: a player chosen in a list brings its command line.
class CDisksPage final : public COptionsPage {
 public:
  CDisksPage(Settings& settings, const Services& services)
      : COptionsPage(res::kDisksPage), rules_(settings, services, *this) {
    Attach(rules_);
  }

 private:
  void OnCommand(int id, int notification) override {
    namespace ids = res::disks;
    if (notification != CBN_SELCHANGE) return;
    for (int list : {ids::kDivXPlayer, ids::kDivXAudio2Player, ids::kMpegPlayer, ids::kSvcdPlayer,
                     ids::kVcdPlayer}) {
      if (id == list) rules_.OnPlayerChosen(id);
    }
  }
  desk::DisksPageRules rules_;
};

class CCodecsPage final : public COptionsPage {
 public:
  CCodecsPage(Settings& settings, const Services& services)
      : COptionsPage(res::kCodecsPage), rules_(settings, services, *this) {
    Attach(rules_);
  }

 private:
  desk::CodecsPageRules rules_;
};

// The Players page: the player list and its buttons; Add and Configure open the Player
// Info dialog.
class CPlayersPage final : public COptionsPage, public desk::PlayersPageView {
 public:
  CPlayersPage(Settings& settings, const Services& services)
      : COptionsPage(res::kPlayersPage),
        rules_(settings, services, *this, *this),
        messages_(services.messages) {
    Attach(rules_);
  }

  bool RunPlayerInfo(PlayerRecord& record, std::string_view caption,
                     const desk::PlayerInfoRules::ProblemCheck& problem) override {
    CPlayerInfoDlg dialog(record, std::string(caption), messages_, problem);
    return dialog.Run(window_, record);
  }

 private:
  void OnCommand(int id, int notification) override {
    namespace ids = res::players;
    if (id == ids::kPlayerList && notification == LBN_SELCHANGE) {
      rules_.OnSelectionChanged();
      return;
    }
    if (notification != BN_CLICKED) return;
    switch (id) {
      case ids::kAdd:
        rules_.OnAdd();
        break;
      case ids::kRemove:
        rules_.OnRemove();
        break;
      case ids::kConfigure:
        rules_.OnConfigure();
        break;
      case ids::kExecute:
        rules_.OnExecute();
        break;
      case ids::kFindInstalled:
        rules_.OnFindInstalledPlayers();
        break;
      default:
        break;
    }
  }
  desk::PlayersPageRules rules_;
  UserMessages& messages_;
};

// The View page: each area's preview in its colours and font, and the colour and font
// choosers of FG, BG and Font.
class CViewPage final : public COptionsPage, public desk::ViewPageView {
 public:
  CViewPage(Settings& settings, const Services& services)
      : COptionsPage(res::kViewPage), rules_(settings, services, *this, *this) {
    Attach(rules_);
  }

  int ScreenHeight() const override {
    HMONITOR monitor = MonitorFromWindow(window_, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (monitor == nullptr || !GetMonitorInfoA(monitor, &info)) {
      return GetSystemMetrics(SM_CYSCREEN);
    }
    return info.rcMonitor.bottom - info.rcMonitor.top;
  }

  int PreviewRoom(desk::ThemeArea area) const override {
    const Area& shown = kAreas[static_cast<std::size_t>(area)];
    const RECT preview = ClientRectOf(shown.preview);
    if (shown.firstRadio == 0) return preview.bottom - preview.top;
    return ClientRectOf(shown.firstRadio).top - preview.top;
  }

  void ShowPreview(desk::ThemeArea area, ColorRef text, ColorRef background,
                   const FontDescription& font, int height) override {
    Preview& preview = previews_[static_cast<std::size_t>(area)];
    const Area& shown = kAreas[static_cast<std::size_t>(area)];
    preview.text = ToColorRef(text);
    preview.brush.Reset(CreateSolidBrush(ToColorRef(background)));
    const LOGFONTA logFont = ToLogFont(font, ScreenHeight());
    const Font previous(preview.font.Release());
    preview.font.Reset(CreateFontIndirectA(&logFont));
    HWND control = GetDlgItem(window_, shown.preview);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(preview.font.Get()), FALSE);
    if (height >= 0) {
      const RECT rect = ClientRectOf(shown.preview);
      SetWindowPos(control, nullptr, 0, 0, rect.right - rect.left, height,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    InvalidateRect(control, nullptr, TRUE);
  }

  std::optional<ColorRef> ChooseColor(ColorRef initial) override {
    static COLORREF custom[16] = {};
    CHOOSECOLORA choose{};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = window_;
    choose.rgbResult = ToColorRef(initial);
    choose.lpCustColors = custom;
    choose.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!::ChooseColorA(&choose)) return std::nullopt;
    return static_cast<ColorRef>(choose.rgbResult & 0xFFFFFF);
  }

  std::optional<FontDescription> ChooseFont(const FontDescription& initial) override {
    LOGFONTA logFont = ToLogFont(initial, 0);
    CHOOSEFONTA choose{};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = window_;
    choose.lpLogFont = &logFont;
    choose.Flags = CF_INITTOLOGFONTSTRUCT | CF_SCREENFONTS;
    if (!::ChooseFontA(&choose)) return std::nullopt;
    return FromLogFont(logFont);
  }

 private:
  struct Area {
    int preview;
    int firstRadio;  // 0: the area has one state
    int foreground, background, font;
  };
  static constexpr std::array<Area, 3> kAreas = {{
      {res::view::kLabelPreview, 0, res::view::kLabelFg, res::view::kLabelBg,
       res::view::kLabelFont},
      {res::view::kMoviesPreview, res::view::kMoviesHighlighted, res::view::kMoviesFg,
       res::view::kMoviesBg, res::view::kMoviesFont},
      {res::view::kChoicesPreview, res::view::kChoicesHighlighted, res::view::kChoicesFg,
       res::view::kChoicesBg, res::view::kChoicesFont},
  }};
  struct Preview {
    COLORREF text = 0;
    Brush brush;
    Font font;
  };

  RECT ClientRectOf(int id) const {
    RECT rect{};
    GetWindowRect(GetDlgItem(window_, id), &rect);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  }

  void OnCommand(int id, int notification) override {
    if (notification != BN_CLICKED) return;
    for (desk::ThemeArea area : desk::kThemeAreas) {
      const Area& shown = kAreas[static_cast<std::size_t>(area)];
      if (id == shown.foreground) rules_.ChooseForeground(area);
      if (id == shown.background) rules_.ChooseBackground(area);
      if (id == shown.font) rules_.ChooseFont(area);
    }
    namespace ids = res::view;
    if (id == ids::kMoviesHighlighted || id == ids::kMoviesNormal) {
      rules_.OnStateClicked(desk::ThemeArea::Movies);
    }
    if (id == ids::kChoicesHighlighted || id == ids::kChoicesNormal) {
      rules_.OnStateClicked(desk::ThemeArea::Choices);
    }
  }

  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message != WM_CTLCOLORSTATIC) return FALSE;
    const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
    for (std::size_t area = 0; area < kAreas.size(); ++area) {
      if (kAreas[area].preview != id || previews_[area].brush.Get() == nullptr) continue;
      HDC dc = reinterpret_cast<HDC>(wParam);
      SetTextColor(dc, previews_[area].text);
      SetBkMode(dc, TRANSPARENT);
      return reinterpret_cast<INT_PTR>(previews_[area].brush.Get());
    }
    return FALSE;
  }

  static FontDescription FromLogFont(const LOGFONTA& logFont) {
    FontDescription font;
    font.height = logFont.lfHeight;
    font.width = logFont.lfWidth;
    font.escapement = logFont.lfEscapement;
    font.orientation = logFont.lfOrientation;
    font.weight = logFont.lfWeight;
    font.italic = logFont.lfItalic;
    font.underline = logFont.lfUnderline;
    font.strikeOut = logFont.lfStrikeOut;
    font.charSet = logFont.lfCharSet;
    font.outPrecision = logFont.lfOutPrecision;
    font.clipPrecision = logFont.lfClipPrecision;
    font.quality = logFont.lfQuality;
    font.pitchAndFamily = logFont.lfPitchAndFamily;
    for (std::size_t i = 0; i + 1 < font.faceName.size() && logFont.lfFaceName[i] != '\0'; ++i) {
      font.faceName[i] = logFont.lfFaceName[i];
    }
    return font;
  }

  desk::ViewPageRules rules_;
  std::array<Preview, 3> previews_;
};

std::unique_ptr<COptionsPage> MakePage(desk::PageKind kind, Settings& settings,
                                       const Services& services) {
  switch (kind) {
    case desk::PageKind::General:
      return std::make_unique<CGeneralPage>(settings, services);
    case desk::PageKind::View:
      return std::make_unique<CViewPage>(settings, services);
    case desk::PageKind::Disks:
      return std::make_unique<CDisksPage>(settings, services);
    case desk::PageKind::Players:
      return std::make_unique<CPlayersPage>(settings, services);
    case desk::PageKind::Codecs:
      return std::make_unique<CCodecsPage>(settings, services);
  }
  return nullptr;
}

}  // namespace

COptionsPage::COptionsPage(int templateId) : bytes_(TemplateOf(templateId)) {}

COptionsPage::~COptionsPage() {
  if (tooltips_ != nullptr) DestroyWindow(tooltips_);
}

PROPSHEETPAGEA COptionsPage::SheetPage() {
  PROPSHEETPAGEA page{};
  page.dwSize = sizeof page;
  page.dwFlags = PSP_DLGINDIRECT;
  page.hInstance = GetModuleHandleA(nullptr);
  page.pResource = bytes_.Get();
  page.pfnDlgProc = &PageProc;
  page.lParam = reinterpret_cast<LPARAM>(this);
  return page;
}

INT_PTR CALLBACK COptionsPage::PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* self = reinterpret_cast<COptionsPage*>(reinterpret_cast<PROPSHEETPAGEA*>(lParam)->lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->window_ = window;
    self->values_.Attach(window);
    if (self->sheet_ != nullptr) self->sheet_->SetHandle(GetParent(window));
    return TRUE;
  }
  auto* self = reinterpret_cast<COptionsPage*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self == nullptr) return FALSE;
  switch (message) {
    case WM_COMMAND:
      self->OnCommand(LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      switch (header->code) {
        case PSN_SETACTIVE:
          self->rules_->OnShow();
          if (self->tooltipsEnabled_ && self->tooltips_ == nullptr) self->AddTooltips();
          self->sheet_->OnPageActive(self->index_);
          SetWindowLongPtrA(window, DWLP_MSGRESULT, 0);
          return TRUE;
        case PSN_KILLACTIVE:
          // TRUE keeps the page: a text it refused.
          SetWindowLongPtrA(window, DWLP_MSGRESULT, self->sheet_->MayLeavePage() ? FALSE : TRUE);
          return TRUE;
        case PSN_APPLY:
          SetWindowLongPtrA(window, DWLP_MSGRESULT, self->sheet_->OnApply());
          return TRUE;
        default:
          return FALSE;
      }
    }
    default:
      return self->OnMessage(message, wParam, lParam);
  }
}

void COptionsPage::EnableTooltips() {
  if (tooltipsEnabled_) return;
  tooltipsEnabled_ = true;
  if (window_ != nullptr) AddTooltips();
}

void COptionsPage::AddTooltips() {
  tooltips_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
  if (tooltips_ == nullptr) return;
  for (HWND control = GetWindow(window_, GW_CHILD); control != nullptr;
       control = GetWindow(control, GW_HWNDNEXT)) {
    const auto text = rules_->Tooltip(GetDlgCtrlID(control));
    if (!text) continue;
    std::string tip(*text);
    TOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window_;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = tip.data();
    SendMessageA(tooltips_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

COptionsSheet::COptionsSheet(Settings& settings, const Services& services,
                             Win32UserMessages& messages)
    : messages_(messages) {
  std::vector<desk::PageRules*> rules;
  for (desk::PageKind kind : desk::kSheetPages) {
    pages_.push_back(MakePage(kind, settings, services));
    pages_.back()->SetSheet(*this, static_cast<int>(pages_.size()) - 1);
    rules.push_back(&pages_.back()->Rules());
  }
  rules_ = std::make_unique<desk::OptionsSheetRules>(*this, std::move(rules));
}

COptionsSheet::~COptionsSheet() = default;

bool COptionsSheet::Run(HWND owner) {
  std::vector<PROPSHEETPAGEA> entries;
  for (auto& page : pages_) entries.push_back(page->SheetPage());
  const std::string caption = desk::OptionsSheetRules::Caption();
  PROPSHEETHEADERA header{};
  header.dwSize = sizeof header;
  // No page ever marks itself changed, so the sheet has no Apply button.
  header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW | PSH_NOCONTEXTHELP;
  header.hwndParent = owner;
  header.hInstance = GetModuleHandleA(nullptr);
  header.pszCaption = caption.c_str();
  header.nPages = static_cast<UINT>(entries.size());
  header.nStartPage = 0;
  header.ppsp = entries.data();
  applied_ = false;
  PropertySheetA(&header);
  return applied_;
}

void COptionsSheet::SetHandle(HWND sheet) {
  sheet_ = sheet;
  messages_.SetOwner(sheet);
}

void COptionsSheet::ReturnToPage(int index) {
  if (sheet_ == nullptr) return;
  returning_ = true;
  PropSheet_SetCurSel(sheet_, nullptr, index);
  returning_ = false;
}

bool COptionsSheet::MayLeavePage() { return returning_ || rules_->MayLeavePage(-1); }

void COptionsSheet::OnPageActive(int index) {
  if (!returning_) rules_->OnPageChanged(index);
}

LRESULT COptionsSheet::OnApply() {
  // Every page that exists hears OK; the sheet's rules store every shown page at once.
  if (applied_) return PSNRET_NOERROR;
  if (!rules_->OnOk()) return PSNRET_INVALID_NOCHANGEPAGE;
  applied_ = true;
  return PSNRET_NOERROR;
}

}  // namespace quorvel::win32
