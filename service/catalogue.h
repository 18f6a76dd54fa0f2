#pragma once
// The service's catalogue: an SQLite database with a trigram full-text index over names and
// actors, so that any substring of three characters or more is found through the index.

#include <sqlite3.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "soap.h"

namespace xyx::service {

struct SqliteCloser {
  void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using SqliteHandle = std::unique_ptr<sqlite3, SqliteCloser>;

struct StatementCloser {
  void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementCloser>;

// Creates (or replaces the rows of) the database at `dbPath` from a tab-separated import
// file: size, hash, actor, name[, extra] per line, UTF-8. Returns the number of rows, or -1
// with `error` set.
long long ImportCatalogue(const std::string& dbPath, const std::string& tsvPath,
                          std::string& error);

// One read-only connection; each serving thread opens its own.
class Catalogue {
 public:
  static std::unique_ptr<Catalogue> Open(const std::string& dbPath, std::string& error);

  // Entries whose name or actor contains the keyword, ignoring letter case; an empty keyword
  // gives the first entries. At most `limit` entries, in catalogue order.
  std::vector<CatalogueEntry> Search(std::string_view keyword, int limit);

 private:
  explicit Catalogue(SqliteHandle db) : db_(std::move(db)) {}
  // Prepared once per connection and reused: preparing costs more than a typical search.
  sqlite3_stmt* Cached(Statement& slot, std::string_view sql);

  SqliteHandle db_;
  Statement first_, indexed_, scanned_;
};

}  // namespace xyx::service
