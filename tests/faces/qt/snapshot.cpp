// quorvel_snapshot: renders one window or page of the program, filled from a given
// settings store, on Qt's offscreen platform into a PNG file. For review and for the
// pictures in the documentation; built with the tests, never installed.
//
//   quorvel_snapshot --window options-sheet [--page General] [--registry FILE.reg]
//                    [--windows-nt] [--scale 2] [--size 640x480] --out FILE.png
//   quorvel_snapshot --window main-dialog --disk samples/demo-disk [--select ROW] --out FILE.png
//   quorvel_snapshot --window fullscreen --disk DIR [--size 1280x720] [--select ROW]
//                    [--registry FILE.reg] --out FILE.png
//
// The full-screen window covers a screen of --size and is rendered as it looks after its
// first read of DIR; --select moves the movie list's selection to ROW (and the focus to
// that list), as Left and Down would.

#include <CLI/CLI.hpp>
#include <QApplication>
#include <QFile>
#include <QPixmap>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <string>

#include "app/settings.h"
#include "faces/qt/desktop/about_dlg.h"
#include "faces/qt/desktop/general_page.h"
#include "faces/qt/desktop/main_dlg.h"
#include "faces/qt/desktop/options_sheet.h"
#include "faces/qt/fullscreen/full_screen_dlg.h"
#include "faces/qt/resources/gui_text.h"
#include "platform/fake/fake_services.h"
#include "platform/services.h"

namespace {

using namespace quorvel;

struct Options {
  std::string window;
  std::string page = "General";
  std::string registry;
  bool windowsNT = false;
  double scale = 1.0;
  std::string size;
  std::string disk;
  int select = -1;
  std::string out;
};

constexpr const char* kFullScreen = "fullscreen";

bool ParseSize(const std::string& text, int& width, int& height) {
  return std::sscanf(text.c_str(), "%dx%d", &width, &height) == 2 && width > 0 && height > 0;
}

// The full-screen window over the platform's own files and volumes, so that it reads
// the real disk folder; the rest stays the fakes': nothing it asks to start is started,
// nothing is switched or stored.
struct FullScreenSnapshot {
  std::unique_ptr<PlatformServices> platform;
  std::unique_ptr<CFullScreenDlg> window;

  void Make(Settings& settings, FakeServices& fake, const Options& options) {
    platform = CreatePlatformServices(fake.messages);
    const Services services = fake.ViewReadingDisksWith(platform->services);
    window = std::make_unique<CFullScreenDlg>(settings, services, OptionsRunner(), nullptr, nullptr,
                                              options.disk);
    window->Create();
    if (options.select >= 0) {
      window->MovieList().setFocus();
      window->MovieList().setCurrentRow(options.select);
    }
  }
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
      {"main-dialog",
       [](Settings& settings, const Services& services, const Options& options, std::string&) {
         // Reads the disk for real through the platform's files and volumes; the rest
         // stays fake, so nothing is started (nobody clicks Play anyway).
         static RecordingMessages platformMessages;
         static const std::unique_ptr<PlatformServices> platform =
             CreatePlatformServices(platformMessages);
         static const Services mixed{platform->services.files, platform->services.volumes,
                                     services.processes,       services.system,
                                     services.registry,        services.messages,
                                     services.privateFiles,    services.diskEvents};
         auto dialog = std::make_unique<CMainDlg>(settings, mixed, nullptr, options.disk);
         dialog->show();
         if (options.select >= 0) dialog->FieldList()->selectRow(options.select);
         return std::unique_ptr<QWidget>(std::move(dialog));
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
  names.push_back(kFullScreen);
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
  cli.add_option("--disk", options.disk, "disk path the main dialog or full-screen window reads");
  cli.add_option("--select", options.select,
                 "row to select: of the main dialog's field list, or of the full-screen window's "
                 "movie list");
  cli.add_option("--out", options.out, "PNG file to write")->required();
  CLI11_PARSE(cli, argc, argv);
  const bool fullScreen = options.window == kFullScreen;
  int width = 0;
  int height = 0;
  if (!options.size.empty() && !ParseSize(options.size, width, height)) {
    std::fprintf(stderr, "quorvel_snapshot: size must be WIDTHxHEIGHT\n");
    return 2;
  }

  // Both must be in place before the application object exists. The full-screen window
  // covers its screen: the offscreen screen gets the size asked for.
  QTemporaryDir scratch;
  if (fullScreen) {
    const QString config = scratch.filePath(QStringLiteral("screens.json"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly)) return 1;
    file.write(QStringLiteral(R"({"screens": [{"name": "tv", "x": 0, "y": 0, "width": %1,)"
                              R"( "height": %2, "logicalDpi": 96, "logicalBaseDpi": 96,)"
                              R"( "dpr": 1}]})")
                   .arg(width > 0 ? width : 1280)
                   .arg(height > 0 ? height : 720)
                   .toUtf8());
    file.close();
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).toUtf8());
  } else if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
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
  FullScreenSnapshot fullScreenWindow;
  std::unique_ptr<QWidget> ownWindow;
  QWidget* window = nullptr;
  if (fullScreen) {
    fullScreenWindow.Make(settings, fake, options);
    window = fullScreenWindow.window.get();
  } else {
    ownWindow = Windows().at(options.window)(settings, services, options, error);
    window = ownWindow.get();
    if (window != nullptr && width > 0) window->resize(width, height);
  }
  if (window == nullptr) {
    std::fprintf(stderr, "quorvel_snapshot: %s\n", error.c_str());
    return 2;
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
