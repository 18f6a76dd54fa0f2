#include "core/results/playback.h"

#include "core/text/xml_escape.h"

#include <filesystem>
#include <system_error>

#include "core/search/protocol.h"
#include "core/text/encoding.h"

namespace xyx {

namespace {

std::pair<Text, Text> PlayerKeyAndName() {
  auto [key, name] = SplitValuePath(kPlayerRegistryValue);
  return {Text(kPlayerRegistryRoot) + "\\" + key, name};
}

}  // namespace

Text ReadPlayerValue(const RegistryStore& store) {
  const auto [key, name] = PlayerKeyAndName();
  return store.ReadValue(key, name).value_or(Text());
}

bool WritePlayerValue(RegistryStore& store, std::string_view path) {
  const auto [key, name] = PlayerKeyAndName();
  return store.WriteValue(key, name, path);
}

std::string EscapeXmlAttribute(std::string_view text) {
  return XmlEscapeUtf8(text, true);
}

Bytes PlaylistContent(std::string_view address) {
  const std::string href = EscapeXmlAttribute(ToUtf8Bytes(address));
  Bytes out;
  const std::size_t star = kPlaylistTemplate.find('*');
  out.reserve(kPlaylistTemplate.size() + href.size());
  out += kPlaylistTemplate.substr(0, star);
  out += href;
  out += kPlaylistTemplate.substr(star + 1);
  return out;
}

bool PathExists(std::string_view localPath) {
  if (localPath.empty()) return false;
  std::error_code error;
  return std::filesystem::exists(std::filesystem::path(LocalToUtf8(localPath)), error);
}

int NoticeFlags(int flags) {
  constexpr int kIconBits[] = {0x40, 0x30, 0x10, 0x20};
  bool hasIcon = false;
  for (const int bit : kIconBits) hasIcon = hasIcon || (flags & bit) != 0;
  if (!hasIcon) flags += 64;
  return flags + 4096;
}

Text NoticeCaption(std::string_view title) {
  return title.empty() ? Utf8ToLocalText("垣禾：") : Text(title);
}

ProgramCommand PlayerCommand(std::string_view program, std::string_view parameter,
                             std::string_view wine) {
  ProgramCommand command;
  const bool windowsProgram =
      program.size() >= 4 && AsciiLower(program.substr(program.size() - 4)) == ".exe";
  if (windowsProgram && !wine.empty()) {
    command.program = std::string(wine);
    command.arguments = {std::string(program), std::string(parameter)};
  } else {
    command.program = std::string(program);
    command.arguments = {std::string(parameter)};
  }
  return command;
}

}  // namespace xyx
