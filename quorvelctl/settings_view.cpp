#include "quorvelctl/settings_view.h"

#include <cstdio>

#include "windows_rules/text_encoding.h"

namespace quorvelctl {
namespace {

using quorvel::ToUtf8;

nlohmann::ordered_json FontJson(const quorvel::FontDescription& font) {
  return {{"height", font.height},
          {"width", font.width},
          {"escapement", font.escapement},
          {"orientation", font.orientation},
          {"weight", font.weight},
          {"italic", font.italic},
          {"underline", font.underline},
          {"strikeOut", font.strikeOut},
          {"charSet", font.charSet},
          {"outPrecision", font.outPrecision},
          {"clipPrecision", font.clipPrecision},
          {"quality", font.quality},
          {"pitchAndFamily", font.pitchAndFamily},
          {"faceName", ToUtf8(font.FaceName())}};
}

std::string FontText(const quorvel::FontDescription& font) {
  char buffer[256];
  std::snprintf(buffer, sizeof buffer,
                "height %d, width %d, escapement %d, orientation %d, weight %d, italic %u, "
                "underline %u, strikeOut %u, charSet %u, outPrecision %u, clipPrecision %u, "
                "quality %u, pitchAndFamily %u, faceName ",
                font.height, font.width, font.escapement, font.orientation, font.weight,
                font.italic, font.underline, font.strikeOut, font.charSet, font.outPrecision,
                font.clipPrecision, font.quality, font.pitchAndFamily);
  return buffer + ToUtf8(font.FaceName());
}

}  // namespace

nlohmann::ordered_json PlayersJson(const quorvel::PlayerList& players) {
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (const auto& player : players) {
    list.push_back({{"Name", ToUtf8(player.Name)},
                    {"AppPath", ToUtf8(player.AppPath)},
                    {"CmdLine", ToUtf8(player.CmdLine)},
                    {"Playlist", static_cast<std::int32_t>(player.Playlist)}});
  }
  return list;
}

nlohmann::ordered_json SettingsJson(const quorvel::Settings& settings) {
  nlohmann::ordered_json json = nlohmann::ordered_json::object();
  for (const auto& setting : quorvel::kStoredSettings) {
    const std::string name(setting.name);
    if (setting.IsText()) {
      json[name] = ToUtf8(settings.*setting.text);
    } else if (setting.unsignedNumber != nullptr) {
      json[name] = settings.*setting.unsignedNumber;
    } else {
      json[name] = settings.*setting.number;
    }
  }
  json["Players"] = PlayersJson(settings.Players);
  nlohmann::ordered_json themes = nlohmann::ordered_json::object();
  for (const auto& color : quorvel::kThemeColors) {
    themes[std::string(color.name)] = settings.Theme.*color.field;
  }
  for (const auto& font : quorvel::kThemeFonts) {
    themes[std::string(font.name)] = FontJson(settings.Theme.*font.field);
  }
  json["Themes"] = themes;
  json["FfdshowFound"] = settings.FfdshowFound;
  return json;
}

std::string OneLine(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string line;
  line.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte != 0x7f) {
      line += c;
    } else if (c == '\n') {
      line += "\\n";
    } else if (c == '\t') {
      line += "\\t";
    } else if (c == '\r') {
      line += "\\r";
    } else {
      line += "\\x";
      line += kHex[byte >> 4];
      line += kHex[byte & 0xf];
    }
  }
  return line;
}

std::string PlayersText(const quorvel::PlayerList& players) {
  std::string text;
  for (const auto& player : players) {
    text += OneLine(ToUtf8(player.Name)) + ": AppPath \"" + OneLine(ToUtf8(player.AppPath)) +
            "\", CmdLine \"" + OneLine(ToUtf8(player.CmdLine)) + "\", Playlist " +
            std::to_string(static_cast<std::int32_t>(player.Playlist)) + "\n";
  }
  return text;
}

std::string SettingsText(const quorvel::Settings& settings) {
  std::string text;
  for (const auto& setting : quorvel::kStoredSettings) {
    text += std::string(setting.name) + " = ";
    if (setting.IsText()) {
      text += OneLine(ToUtf8(settings.*setting.text));
    } else if (setting.unsignedNumber != nullptr) {
      text += std::to_string(settings.*setting.unsignedNumber);
    } else {
      text += std::to_string(settings.*setting.number);
    }
    text += '\n';
  }
  text += "Players:\n";
  const std::string players = PlayersText(settings.Players);
  for (std::size_t start = 0; start < players.size();) {
    const std::size_t end = players.find('\n', start);
    text += "  " + players.substr(start, end - start + 1);
    start = end + 1;
  }
  text += "Themes:\n";
  char buffer[32];
  for (const auto& color : quorvel::kThemeColors) {
    std::snprintf(buffer, sizeof buffer, "0x%08x", settings.Theme.*color.field);
    text += "  " + std::string(color.name) + " = " + buffer + "\n";
  }
  for (const auto& font : quorvel::kThemeFonts) {
    text += "  " + std::string(font.name) + " = " + FontText(settings.Theme.*font.field) + "\n";
  }
  text += "FfdshowFound = " + std::to_string(settings.FfdshowFound) + "\n";
  return text;
}

}  // namespace quorvelctl
