#pragma once
// The desk windows' rules over the fake services, with views that keep what the rules
// show instead of drawing it: controls by id with their values, and each window's own
// requests (choosers, dialogs, rows) recorded or answered from a script.

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/settings.h"
#include "platform/fake/fake_services.h"
#include "rules/desk/control_values.h"
#include "rules/desk/main_dialog_rules.h"
#include "rules/desk/options_sheet_rules.h"
#include "rules/desk/page_rules.h"
#include "rules/desk/player_info_rules.h"
#include "rules/desk/players_page_rules.h"
#include "rules/desk/view_page_rules.h"
#include "support/counting_registry.h"

namespace quorvel::desk {

inline void PrintTo(const FieldRow& row, std::ostream* out) {
  *out << "{" << ::testing::PrintToString(row.name) << ", " << ::testing::PrintToString(row.value)
       << ", " << ::testing::PrintToString(row.tip) << "}";
}

}  // namespace quorvel::desk

namespace quorvel::testing {

// Controls as data. A test sets what the user did (a check, a text, a selection) and
// reads what the rules showed. Lists behave as a toolkit's do: inserting or removing an
// item moves the selection with its item, and removing the selected one selects none.
class RecordingControls final : public desk::ControlValues {
 public:
  struct Control {
    bool checked = false;
    std::string text;
    int index = -1;
    std::vector<std::string> items;
    bool enabled = true;
  };

  // The control `id`, made on first use.
  Control& operator[](int id) { return controls_[id]; }
  const Control& At(int id) const {
    static const Control none;
    const auto found = controls_.find(id);
    return found == controls_.end() ? none : found->second;
  }
  // Checking one of `ids` clears the others, as a group of radio buttons does.
  void AddRadioGroup(std::vector<int> ids) { radioGroups_.push_back(std::move(ids)); }

  // The controls whose text was refused, in order.
  std::vector<int> refused;

  bool Checked(int id) const override { return At(id).checked; }
  void SetChecked(int id, bool checked) override {
    if (checked) {
      for (const std::vector<int>& group : radioGroups_) {
        if (std::find(group.begin(), group.end(), id) == group.end()) continue;
        for (int other : group) controls_[other].checked = false;
      }
    }
    controls_[id].checked = checked;
  }
  std::string Text(int id) const override { return At(id).text; }
  // A face that shows bytes as they are.
  bool ShowsText(int id, std::string_view text) const override { return At(id).text == text; }
  void SetText(int id, std::string_view text) override { controls_[id].text = text; }
  int ListIndex(int id) const override { return At(id).index; }
  void SetListIndex(int id, int index) override {
    Control& list = controls_[id];
    list.index = index >= 0 && static_cast<std::size_t>(index) < list.items.size() ? index : -1;
  }
  void SetListItems(int id, const std::vector<std::string>& items) override {
    controls_[id].items = items;
    controls_[id].index = -1;
  }
  void InsertListItem(int id, int index, std::string_view text) override {
    Control& list = controls_[id];
    ASSERT_LE(static_cast<std::size_t>(index), list.items.size());
    list.items.insert(list.items.begin() + index, std::string(text));
    if (list.index >= index) ++list.index;
  }
  void RemoveListItem(int id, int index) override {
    Control& list = controls_[id];
    ASSERT_LT(static_cast<std::size_t>(index), list.items.size());
    list.items.erase(list.items.begin() + index);
    if (list.index == index) {
      list.index = -1;
    } else if (list.index > index) {
      --list.index;
    }
  }
  void EnableControl(int id, bool enabled) override { controls_[id].enabled = enabled; }
  void FocusRefused(int id) override { refused.push_back(id); }

 private:
  std::map<int, Control> controls_;
  std::vector<std::vector<int>> radioGroups_;
};

// Answers questions from a script (Cancel once it runs out) and keeps every message.
class ScriptedMessages final : public UserMessages {
 public:
  MessageAnswer Show(std::string_view text, std::string_view caption, MessageButtons buttons,
                     MessageIcon icon) override {
    shown.push_back({std::string(text), std::string(caption), buttons, icon});
    if (answers.empty())
      return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
    const MessageAnswer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const RecordedMessage& message : shown) texts.push_back(message.text);
    return texts;
  }

  std::deque<MessageAnswer> answers;
  std::vector<RecordedMessage> shown;
};

// A page as the rules see it.
class RecordingPage : public desk::PageView {
 public:
  virtual ~RecordingPage() = default;
  desk::ControlValues& Values() override { return controls; }
  void EnableTooltips() override { ++tooltipsEnabled; }

  RecordingControls controls;
  int tooltipsEnabled = 0;
};

// The View page: the previews as drawn, the choosers answered from scripts.
class RecordingViewPage final : public RecordingPage, public desk::ViewPageView {
 public:
  struct Preview {
    ColorRef text = 0;
    ColorRef background = 0;
    FontDescription font;
    int height = -1;
    int draws = 0;
  };

  int ScreenHeight() const override { return screenHeight; }
  int PreviewRoom(desk::ThemeArea area) const override { return rooms[static_cast<int>(area)]; }
  void ShowPreview(desk::ThemeArea area, ColorRef text, ColorRef background,
                   const FontDescription& font, int height) override {
    Preview& preview = previews[area];
    preview = {text, background, font, height, preview.draws + 1};
  }
  std::optional<ColorRef> ChooseColor(ColorRef initial) override {
    colourOffers.push_back(initial);
    return Next(colourAnswers);
  }
  std::optional<FontDescription> ChooseFont(const FontDescription& initial) override {
    fontOffers.push_back(initial);
    return Next(fontAnswers);
  }

  int screenHeight = 1080;
  int rooms[3] = {0, 40, 40};
  std::map<desk::ThemeArea, Preview> previews;
  // What the choosers answer, in turn (nothing: cancelled).
  std::deque<std::optional<ColorRef>> colourAnswers;
  std::deque<std::optional<FontDescription>> fontAnswers;
  std::vector<ColorRef> colourOffers;
  std::vector<FontDescription> fontOffers;

 private:
  template <typename T>
  static std::optional<T> Next(std::deque<std::optional<T>>& answers) {
    if (answers.empty()) return std::nullopt;
    std::optional<T> answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

// The Player Info dialog: its controls, and the file chooser answered from a script.
class RecordingPlayerInfo final : public desk::PlayerInfoView {
 public:
  desk::ControlValues& Values() override { return controls; }
  bool ChooseProgram(std::string& path, const desk::ProgramChooser& chooser) override {
    offeredPath = path;
    offered = chooser;
    if (!chosen) return false;
    path = *chosen;
    return true;
  }

  RecordingControls controls;
  std::optional<std::string> chosen;  // nothing: the chooser is cancelled
  std::string offeredPath;
  desk::ProgramChooser offered;
};

// The Players page: each Player Info dialog it runs is the real dialog's rules over a
// recording view, driven by `answerPlayerInfo` (which edits the controls and says OK
// or not), or cancelled when the test sets none.
class RecordingPlayersPage final : public RecordingPage, public desk::PlayersPageView {
 public:
  using Answer = std::function<bool(RecordingPlayerInfo& dialog, desk::PlayerInfoRules& rules)>;

  bool RunPlayerInfo(PlayerRecord& record, std::string_view caption,
                     const desk::PlayerInfoRules::ProblemCheck& problem) override {
    captions.emplace_back(caption);
    RecordingPlayerInfo dialog;
    desk::PlayerInfoRules rules(record, messages, dialog, problem);
    rules.OnInitDialog();
    proposed.push_back(rules.Edited());
    if (!answerPlayerInfo || !answerPlayerInfo(dialog, rules)) return false;
    record = rules.Edited();
    return true;
  }

  explicit RecordingPlayersPage(UserMessages& dialogMessages) : messages(dialogMessages) {}

  UserMessages& messages;
  Answer answerPlayerInfo;
  std::vector<std::string> captions;
  std::vector<PlayerRecord> proposed;  // the record each dialog opened on
};

// Presses OK of a Player Info dialog until it closes or refuses: true when it closed.
inline bool PressOk(desk::PlayerInfoRules& rules) { return rules.OnOk(); }

// The main dialog: rows, selection, choosers and the options sheet recorded.
class RecordingMainDialog final : public desk::MainDialogView {
 public:
  desk::ControlValues& Values() override { return controls; }
  void ShowColumns(std::string_view field, std::string_view value) override {
    columns = {std::string(field), std::string(value)};
  }
  void ShowRows(const std::vector<desk::FieldRow>& shown) override {
    rows = shown;
    selected = -1;
    ++rowUpdates;
  }
  int SelectedRow() const override { return selected; }
  bool ChooseFolder(std::string& path, std::string_view title) override {
    chooserTitle = title;
    chooserStart = path;
    if (!folder) return false;
    path = *folder;
    return true;
  }
  bool RunOptionsSheet() override {
    ++optionsRuns;
    return optionsAnswer;
  }
  void ShowAbout() override { ++aboutShown; }

  RecordingControls controls;
  std::vector<std::string> columns;
  std::vector<desk::FieldRow> rows;
  int rowUpdates = 0;
  int selected = -1;
  std::optional<std::string> folder;  // nothing: the chooser is cancelled
  std::string chooserTitle;
  std::string chooserStart;
  bool optionsAnswer = false;
  int optionsRuns = 0;
  int aboutShown = 0;
};

// The sheet: where it was sent back to.
class RecordingSheet final : public desk::OptionsSheetView {
 public:
  void ReturnToPage(int index) override { returns.push_back(index); }
  std::vector<int> returns;
};

// The fakes, with the saves of the settings counted and questions answered from a script.
struct DeskFixture {
  DeskFixture() { EXPECT_TRUE(settings.Load(registry)); }

  Services View() {
    return {fake.files, fake.volumes, fake.processes,    fake.system,
            registry,   messages,     fake.privateFiles, fake.diskEvents};
  }

  FakeServices fake;
  CountingRegistry registry;
  ScriptedMessages messages;
  Settings settings;
};

}  // namespace quorvel::testing
