// quorvel_snapshot: renders one window or page of the program, filled from a given
// settings store, on Qt's offscreen platform into a PNG file. For review and for the
// pictures in the documentation; built with the tests, never installed.
//
//   quorvel_snapshot --window options-sheet [--page General] [--registry FILE.reg]
//                    [--windows-nt] [--scale 2] [--size 640x480] --out FILE.png

#include <CLI/CLI.hpp>
#include <QApplication>
#include <QPixmap>
#include <QTabWidget>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <string>

#include "app/settings.h"
#include "desktop/about_dlg.h"
#include "desktop/general_page.h"
#include "desktop/options_sheet.h"
#include "platform/fake/fake_services.h"
#include "resources/gui_text.h"

namespace {

using namespace quorvel;

struct Options {
  std::string window;
  std::string page = "General";
  std::string registry;
  bool windowsNT = false;
  double scale = 1.0;
  std::string size;
  std::string out;
};

// Each window the tool knows: builds it, shown, for the given options.
using WindowMaker = std::function<std::unique_ptr<QWidget>(Settings&, const Services&,
                                                           const Options&, std::string&)>;

const std::map<std::string, WindowMaker>& Windows() {
  static const std::map<std::string, WindowMaker> windows = {
      {"options-sheet",
       [](Settings& settings, const Services& services, const Options& options,
          std::string& error) {
         auto sheet = std::make_unique<COptionsSheet>(nullptr, settings, services);
         sheet->show();
         QTabWidget* tabs = sheet->Tabs();
         for (int i = 0; i < tabs->count(); ++i) {
           if (tabs->tabText(i) == ToQString(options.page)) {
             tabs->setCurrentIndex(i);
             return std::unique_ptr<QWidget>(std::move(sheet));
           }
         }
         error = "no page named " + options.page;
         return std::unique_ptr<QWidget>();
       }},
      {"about",
       [](Settings&, const Services& services, const Options&, std::string&) {
         auto about = std::make_unique<CAboutDlg>(services.messages);
         about->show();
         return std::unique_ptr<QWidget>(std::move(about));
       }},
      {"general-page",
       [](Settings& settings, const Services& services, const Options&, std::string&) {
         auto page = std::make_unique<CGeneralPage>(settings, services);
         page->setAutoFillBackground(true);
         page->show();
         return std::unique_ptr<QWidget>(std::move(page));
       }},
  };
  return windows;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  CLI::App cli("Renders a window of Quorvel into a PNG file.");
  std::vector<std::string> names;
  for (const auto& [name, maker] : Windows()) names.push_back(name);
  cli.add_option("--window", options.window, "window or page to render")
      ->required()
      ->check(CLI::IsMember(names));
  cli.add_option("--page", options.page, "tab of the options sheet to show");
  cli.add_option("--registry", options.registry, "REGEDIT4 store file to load settings from")
      ->check(CLI::ExistingFile);
  cli.add_flag("--windows-nt", options.windowsNT, "show the pages as on the Windows NT family");
  cli.add_option("--scale", options.scale, "device pixels per logical pixel")
      ->check(CLI::Range(0.5, 4.0));
  cli.add_option("--size", options.size, "window size WIDTHxHEIGHT in logical pixels");
  cli.add_option("--out", options.out, "PNG file to write")->required();
  CLI11_PARSE(cli, argc, argv);

  // Both must be in place before the application object exists.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("QT_SCALE_FACTOR", QByteArray::number(options.scale));
  QApplication app(argc, argv);

  // Fakes switch nothing and keep the store in memory; the system only says which
  // family to show the pages for.
  FakeServices fake;
  fake.system.windowsNT = options.windowsNT;
  if (!options.registry.empty()) {
    std::ifstream file(options.registry, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (!fake.registry.LoadRegeditText(text)) {
      std::fprintf(stderr, "quorvel_snapshot: %s is no registry export\n",
                   options.registry.c_str());
      return 2;
    }
  }
  const Services services = fake.View();
  Settings settings;
  settings.Load(services.registry);

  std::string error;
  std::unique_ptr<QWidget> window =
      Windows().at(options.window)(settings, services, options, error);
  if (!window) {
    std::fprintf(stderr, "quorvel_snapshot: %s\n", error.c_str());
    return 2;
  }
  if (!options.size.empty()) {
    int width = 0, height = 0;
    if (std::sscanf(options.size.c_str(), "%dx%d", &width, &height) != 2 || width <= 0 ||
        height <= 0) {
      std::fprintf(stderr, "quorvel_snapshot: size must be WIDTHxHEIGHT\n");
      return 2;
    }
    window->resize(width, height);
  }
  QApplication::processEvents();
  const QPixmap picture = window->grab();
  if (!picture.save(QString::fromStdString(options.out), "PNG")) {
    std::fprintf(stderr, "quorvel_snapshot: cannot write %s\n", options.out.c_str());
    return 1;
  }
  std::printf("%s: %dx%d pixels, font %s %dpt\n", options.out.c_str(), picture.width(),
              picture.height(), qPrintable(window->font().family()), window->font().pointSize());
  for (const auto& message : fake.messages.messages) {
    std::fprintf(stderr, "quorvel_snapshot: %s\n", message.text.c_str());
  }
  return 0;
}
