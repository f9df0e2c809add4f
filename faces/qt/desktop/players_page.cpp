#include "faces/qt/desktop/players_page.h"

#include <QListWidget>
#include <QPushButton>

#include "faces/qt/desktop/player_info_dlg.h"
#include "faces/qt/resources/dialog_builder.h"
#include "resources/resource_ids.h"

namespace quorvel {

namespace ids = res::players;

CPlayersPage::CPlayersPage(Settings& settings, const Services& services)
    : COptionsPage(res::kPlayersPage),
      rules_(settings, services, *this, *this),
      services_(services) {
  FindControlAs<QListWidget>(*this, ids::kPlayerList)
      ->setSelectionMode(QAbstractItemView::SingleSelection);
  Attach(rules_);
  ConnectHandlers();
}

// Event table: Add, Remove, Configure, Execute, Find Installed Players, the selection.
void CPlayersPage::ConnectHandlers() {
  const std::pair<int, void (desk::PlayersPageRules::*)()> buttons[] = {
      {ids::kAdd, &desk::PlayersPageRules::OnAdd},
      {ids::kRemove, &desk::PlayersPageRules::OnRemove},
      {ids::kConfigure, &desk::PlayersPageRules::OnConfigure},
      {ids::kExecute, &desk::PlayersPageRules::OnExecute},
      {ids::kFindInstalled, &desk::PlayersPageRules::OnFindInstalledPlayers},
  };
  for (const auto& [id, handler] : buttons) {
    connect(FindControlAs<QPushButton>(*this, id), &QPushButton::clicked, this,
            [this, handler = handler] { (rules_.*handler)(); });
  }
  connect(FindControlAs<QListWidget>(*this, ids::kPlayerList), &QListWidget::itemSelectionChanged,
          this, [this] { rules_.OnSelectionChanged(); });
}

bool CPlayersPage::RunPlayerInfo(PlayerRecord& record, std::string_view caption,
                                 const desk::PlayerInfoRules::ProblemCheck& problem) {
  CPlayerInfoDlg dialog(record, std::string(caption), services_.messages, this, problem);
  return dialog.Run(record);
}

}  // namespace quorvel
