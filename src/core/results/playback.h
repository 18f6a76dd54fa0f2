#pragma once
// What playing a resource needs besides the window: where the player is remembered, where it
// is looked for by default, the playlist that hands it the address, the notice box's flags and
// the command line that starts it.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform/registry_store.h"
#include "core/text/local_text.h"

namespace xyx {

// Where the player's installer leaves its path, and where a chosen player is kept.
inline constexpr std::string_view kPlayerRegistryRoot = "HKEY_LOCAL_MACHINE";
inline constexpr std::string_view kPlayerRegistryValue =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\QvodPlayer\\DisplayIcon";
inline constexpr std::string_view kDefaultPlayerPath =
    "C:\\Program Files\\QvodPlayer\\QvodPlayer.exe";

// One entry; "*" is where the address goes.
inline constexpr std::string_view kPlaylistTemplate =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
    "<qsed version=\"5.0.81.0\"><entry><ref href=\"*\"/></entry></qsed>";
inline constexpr std::string_view kPlaylistSuffix = ".qsed";

// The player value of the store; empty when it is missing.
Text ReadPlayerValue(const RegistryStore& store);
bool WritePlayerValue(RegistryStore& store, std::string_view path);

// "&", "<", ">" and '"' as character references, so that an attribute value stays one value.
std::string EscapeXmlAttribute(std::string_view text);

// The playlist for an address given in local text: the template with the address's UTF-8
// bytes, escaped, in place of the "*".
Bytes PlaylistContent(std::string_view address);

// True when something of that name exists (a directory counts), for a local-text path.
bool PathExists(std::string_view localPath);

// The notice box's flags: the information icon unless an icon is asked for, and the modal
// flag added.
int NoticeFlags(int flags);
// The caption of the notice box: the title, or "垣禾：" when it is empty (local text).
Text NoticeCaption(std::string_view title);

// The program and arguments that start `program` with `parameter` as its one argument. A
// Windows program (".exe", any letter case) goes through `wine` when one is given.
struct ProgramCommand {
  std::string program;
  std::vector<std::string> arguments;
};
ProgramCommand PlayerCommand(std::string_view program, std::string_view parameter,
                             std::string_view wine);

}  // namespace xyx
