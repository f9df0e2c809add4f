#include "faces/win32/desktop/main_dlg.h"

#include <commctrl.h>
#include <shlobj.h>

#include "resources/resource_ids.h"

namespace quorvel::win32 {
namespace {

namespace ids = res::main_dlg;

// The folder chooser starts on the folder that the edit names.
int CALLBACK BrowseCallback(HWND chooser, UINT message, LPARAM, LPARAM start) {
  if (message == BFFM_INITIALIZED && start != 0) {
    SendMessageA(chooser, BFFM_SETSELECTIONA, TRUE, start);
  }
  return 0;
}

}  // namespace

CMainDlg::CMainDlg(const Settings& settings, const Services& services,
                   std::function<bool(HWND owner)> runOptions, std::string diskPath)
    : CTemplateDialog(res::kMainDialog),
      rules_(settings, services, *this, std::move(diskPath)),
      runOptions_(std::move(runOptions)) {}

HWND CMainDlg::List() const { return GetDlgItem(window_, ids::kFieldList); }

bool CMainDlg::OnInitDialog() {
  values_.Attach(window_);
  SendMessageA(List(), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP,
               LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
  const std::string about = desk::MainDialogRules::AboutItemText();
  if (HMENU system = GetSystemMenu(window_, FALSE); system != nullptr && !about.empty()) {
    AppendMenuA(system, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(system, MF_STRING, desk::MainDialogRules::kAboutCommand, about.c_str());
  }
  HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(res::kAppIcon));
  SendMessageA(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  SendMessageA(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  rules_.OnInitDialog();
  return true;
}

void CMainDlg::ShowColumns(std::string_view field, std::string_view value) {
  HWND list = List();
  RECT client;
  GetClientRect(list, &client);
  const std::string texts[] = {std::string(field), std::string(value)};
  const int widths[] = {client.right / 3, client.right - client.right / 3 - 4};
  for (int column = 0; column < 2; ++column) {
    LVCOLUMNA item{};
    item.mask = LVCF_TEXT | LVCF_WIDTH;
    item.pszText = const_cast<char*>(texts[column].c_str());
    item.cx = widths[column];
    SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(column),
                 reinterpret_cast<LPARAM>(&item));
  }
}

void CMainDlg::ShowRows(const std::vector<desk::FieldRow>& rows) {
  HWND list = List();
  rows_ = rows;
  fillingRows_ = true;
  SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
  for (std::size_t row = 0; row < rows_.size(); ++row) {
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(row);
    item.pszText = const_cast<char*>(rows_[row].name.c_str());
    SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    item.iSubItem = 1;
    item.pszText = const_cast<char*>(rows_[row].value.c_str());
    SendMessageA(list, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
  }
  fillingRows_ = false;
}

int CMainDlg::SelectedRow() const {
  const LRESULT row = SendMessageA(List(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
  return row < 0 ? -1 : static_cast<int>(row);
}

bool CMainDlg::ChooseFolder(std::string& path, std::string_view title) {
  char chosen[MAX_PATH] = "";
  const std::string caption(title);
  BROWSEINFOA browse{};
  browse.hwndOwner = window_;
  browse.pszDisplayName = chosen;
  browse.lpszTitle = caption.c_str();
  browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  browse.lpfn = &BrowseCallback;
  browse.lParam = reinterpret_cast<LPARAM>(path.c_str());
  LPITEMIDLIST item = SHBrowseForFolderA(&browse);
  if (item == nullptr) return false;
  char folder[MAX_PATH] = "";
  const bool ok = SHGetPathFromIDListA(item, folder) != FALSE;
  CoTaskMemFree(item);
  if (!ok) return false;
  path = folder;
  return true;
}

bool CMainDlg::RunOptionsSheet() { return runOptions_ && runOptions_(window_); }

void CMainDlg::ShowAbout() { ShowAboutBox(window_); }

bool CMainDlg::OnCommand(int id, int notification) {
  if (notification != BN_CLICKED) return false;
  switch (id) {
    case ids::kReadDisk:
      rules_.ReadDiskToList();
      return true;
    case ids::kBrowse:
      rules_.OnBrowse();
      return true;
    case ids::kPlay:
      rules_.OnPlay();
      return true;
    case ids::kPlayAudio2:
      rules_.OnPlayAudio2();
      return true;
    case ids::kOptions:
      rules_.OnOptions();
      return true;
    case IDOK:
    case IDCANCEL:
      // Enter and "Close" end the dialog, the controls read first.
      rules_.OnOk();
      End(id);
      return true;
    default:
      return false;
  }
}

INT_PTR CMainDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == desk::MainDialogRules::kAboutCommand) {
        rules_.OnSysCommand(desk::MainDialogRules::kAboutCommand);
        return TRUE;
      }
      return FALSE;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->idFrom != static_cast<UINT_PTR>(ids::kFieldList)) return FALSE;
      if (header->code == LVN_ITEMCHANGED && !fillingRows_) {
        const auto* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
        if ((change->uChanged & LVIF_STATE) &&
            ((change->uOldState ^ change->uNewState) & LVIS_SELECTED)) {
          rules_.OnSelectionChanged();
        }
      } else if (header->code == LVN_GETINFOTIPA) {
        // The row's tip: the movie's file.
        auto* tip = reinterpret_cast<NMLVGETINFOTIPA*>(lParam);
        const auto row = static_cast<std::size_t>(tip->iItem);
        if (row < rows_.size() && !rows_[row].tip.empty() && tip->cchTextMax > 0) {
          lstrcpynA(tip->pszText, rows_[row].tip.c_str(), tip->cchTextMax);
        }
      }
      return FALSE;
    }
    default:
      return FALSE;
  }
}

}  // namespace quorvel::win32
