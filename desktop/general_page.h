#pragma once
// The General page of the options sheet: start mode, the system switches and the
// disk-recognition switches.

#include <cstdint>

#include "desktop/options_page.h"

namespace quorvel {

class CGeneralPage final : public COptionsPage {
  Q_OBJECT

 public:
  CGeneralPage(Settings& settings, const Services& services);

  void Store() override;

  // The working copy, one field per bound control.
  std::int32_t FullScreen;
  std::int32_t Shutdown;
  std::int32_t DisableAutorun;
  std::int32_t CloseLaunch;
  std::int32_t Autoplay;
  std::int32_t ReadConf;
  std::int32_t ReadMDVD;
  std::int32_t MDVDPlay;
  std::int32_t SubMDVD;
  std::int32_t SubMDVDAdj;
  std::uint32_t MinFileSize;

 protected:
  void DoDataExchange(DataExchange& exchange) override;
  void OnFirstShow() override;

 private:
  void ConnectHandlers();
  // Enables and forces the dependent boxes after "read Micro DVD file" or "Start as"
  // changed, and at first show.
  void ApplyEnablingRule();
};

}  // namespace quorvel
