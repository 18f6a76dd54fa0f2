// xiyingxia-cli: the window's search from a terminal.
//   xiyingxia-cli search KEYWORD [--export FILE] [--tsv] [--service HOST[:PORT]]
// Prints the rows as an aligned table with the count (or, with --tsv, name, size, actor and
// address per line), in UTF-8. --export writes the address list the window exports.

#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "core/platform/atomic_file.h"
#include "core/results/export.h"
#include "core/search/protocol.h"
#include "core/search/result_text.h"
#include "core/search/size_text.h"
#include "core/text/encoding.h"
#include "core/web/http_session.h"

namespace {

struct Row {
  std::string name, size, actor, address;  // UTF-8
};

int Usage() {
  std::cerr << "usage: xiyingxia-cli search KEYWORD [--export FILE] [--tsv] "
               "[--service HOST[:PORT]]\n";
  return 2;
}

// Terminal columns of a UTF-8 text: East Asian wide characters take two.
std::size_t DisplayWidth(std::string_view s) {
  std::size_t width = 0;
  for (std::size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    std::size_t len = 1;
    char32_t cp = c;
    if (c >= 0xF0) {
      len = 4;
      cp = c & 0x07;
    } else if (c >= 0xE0) {
      len = 3;
      cp = c & 0x0F;
    } else if (c >= 0xC0) {
      len = 2;
      cp = c & 0x1F;
    }
    for (std::size_t k = 1; k < len && i + k < s.size(); ++k) {
      cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    }
    i += len;
    const bool wide = (cp >= 0x1100 && cp <= 0x115F) || (cp >= 0x2E80 && cp <= 0xA4CF) ||
                      (cp >= 0xAC00 && cp <= 0xD7A3) || (cp >= 0xF900 && cp <= 0xFAFF) ||
                      (cp >= 0xFE30 && cp <= 0xFE4F) || (cp >= 0xFF00 && cp <= 0xFF60) ||
                      (cp >= 0xFFE0 && cp <= 0xFFE6) || (cp >= 0x20000 && cp <= 0x3FFFD);
    width += wide ? 2 : 1;
  }
  return width;
}

std::string Pad(const std::string& s, std::size_t width) {
  const std::size_t w = DisplayWidth(s);
  return w >= width ? s : s + std::string(width - w, ' ');
}

// Tabs and line ends inside a field would break a TSV line.
std::string TsvField(std::string s) {
  for (char& c : s) {
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  }
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || std::strcmp(argv[1], "search") != 0) return Usage();
  const std::string keywordUtf8 = argv[2];
  std::string exportPath;
  bool tsv = false;
  std::string host = xyx::ServiceHostFromEnvironment();
  for (int i = 3; i < argc; ++i) {
    const std::string opt = argv[i];
    if (opt == "--tsv") {
      tsv = true;
    } else if (opt == "--export" && i + 1 < argc) {
      exportPath = argv[++i];
    } else if (opt == "--service" && i + 1 < argc) {
      host = argv[++i];
    } else {
      return Usage();
    }
  }

  // The same path as the window: request, access, decoding, extraction, lines, records.
  const xyx::Text url = xyx::ServiceAddress(host);
  xyx::HttpSession session;
  const xyx::Text reply =
      session.AccessWebPage(url, {}, 0, 0, std::nullopt, false,
                            xyx::BuildSearchRequest(xyx::Utf8ToLocalText(keywordUtf8)));
  const int status = session.GetStatus();
  if (status == 0) {
    std::cerr << "xiyingxia-cli: cannot reach the search service at " << url << "\n";
    return 1;
  }
  if (status != 200) {
    std::cerr << "xiyingxia-cli: the search service answered HTTP " << status << " "
              << xyx::LocalToUtf8(session.GetStatusText()) << "\n";
    return 1;
  }

  std::vector<Row> rows;
  std::vector<xyx::Text> addresses;
  const xyx::Text resultText = xyx::ExtractResultText(reply);
  xyx::ResultRecordReader reader(resultText);
  xyx::ResourceRecord record;
  bool isRecord = false;
  while (reader.Next(record, isRecord)) {
    if (!isRecord) continue;
    const xyx::Text address = xyx::QvodAddress(record);
    rows.push_back({xyx::LocalToUtf8(record.name),
                    xyx::SizeText(static_cast<double>(record.SizeValue())),
                    xyx::LocalToUtf8(record.actor), xyx::LocalToUtf8(address)});
    addresses.push_back(address);
  }

  if (!exportPath.empty() &&
      !xyx::WriteFileReplacing(exportPath, xyx::AddressListBytes(addresses))) {
    std::cerr << "xiyingxia-cli: cannot write " << exportPath << "\n";
    return 1;
  }

  if (tsv) {
    for (const auto& r : rows) {
      std::cout << TsvField(r.name) << '\t' << r.size << '\t' << TsvField(r.actor) << '\t'
                << TsvField(r.address) << '\n';
    }
    return 0;
  }
  std::size_t nameWidth = DisplayWidth("资源");
  std::size_t sizeWidth = DisplayWidth("大小");
  for (const auto& r : rows) {
    nameWidth = std::max(nameWidth, DisplayWidth(r.name));
    sizeWidth = std::max(sizeWidth, DisplayWidth(r.size));
  }
  std::cout << Pad("资源", nameWidth) << "  " << Pad("大小", sizeWidth) << "  演员\n";
  for (const auto& r : rows) {
    std::cout << Pad(r.name, nameWidth) << "  "
              << std::string(sizeWidth - DisplayWidth(r.size), ' ') << r.size << "  " << r.actor
              << '\n';
  }
  std::cout << "已找到 " << rows.size() << " 条快播资源\n";
  return 0;
}
