#pragma once
// The Disks page of the options sheet: for each of five kinds of movie, the player that
// plays it and the command line it gets.

#include "faces/qt/desktop/options_page.h"

class QComboBox;

namespace quorvel {

class CDisksPage final : public COptionsPage {
  Q_OBJECT

 public:
  CDisksPage(Settings& settings, const Services& services);

 protected:
  void OnFirstShow() override;

 private:
  void ConnectHandlers();
  // Fills a player list with the players, sorted, and selects the first whose name
  // begins with `stored`, in any letter case; an empty name selects nothing.
  void FillPlayerList(QComboBox& list, const std::string& stored);
  // A player was chosen in the list beside `commandLine`: its command line goes there.
  void OnPlayerChosen(QComboBox& list, std::string Settings::*commandLine);
};

}  // namespace quorvel
