#include "catalogue.h"

#include <fstream>

#include "core/search/result_text.h"

namespace xyx::service {

namespace {

Statement Prepare(sqlite3* db, std::string_view sql) {
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &stmt, nullptr) !=
      SQLITE_OK) {
    return nullptr;
  }
  return Statement(stmt);
}

bool Exec(sqlite3* db, const char* sql, std::string& error) {
  char* message = nullptr;
  if (sqlite3_exec(db, sql, nullptr, nullptr, &message) == SQLITE_OK) return true;
  error = message ? message : "sqlite error";
  sqlite3_free(message);
  return false;
}

std::vector<std::string_view> SplitTabs(std::string_view line) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t tab = line.find('\t', start);
    parts.push_back(line.substr(start, tab == std::string_view::npos ? tab : tab - start));
    if (tab == std::string_view::npos) break;
    start = tab + 1;
  }
  return parts;
}

// Number of UTF-8 characters: the trigram index needs three to use the index.
std::size_t CharCount(std::string_view s) {
  std::size_t n = 0;
  for (char c : s) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

std::string LikeEscape(std::string_view s) {
  std::string out;
  for (char c : s) {
    if (c == '%' || c == '_' || c == '\\') out.push_back('\\');
    out.push_back(c);
  }
  return out;
}

std::string Column(sqlite3_stmt* s, int i) {
  const auto* text = sqlite3_column_text(s, i);
  return text ? std::string(reinterpret_cast<const char*>(text),
                            static_cast<std::size_t>(sqlite3_column_bytes(s, i)))
              : std::string();
}

}  // namespace

long long ImportCatalogue(const std::string& dbPath, const std::string& tsvPath,
                          std::string& error) {
  std::ifstream in(tsvPath, std::ios::binary);
  if (!in) {
    error = "cannot read " + tsvPath;
    return -1;
  }
  sqlite3* raw = nullptr;
  if (sqlite3_open_v2(dbPath.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
      SQLITE_OK) {
    error = "cannot create " + dbPath;
    sqlite3_close_v2(raw);
    return -1;
  }
  SqliteHandle db(raw);
  if (!Exec(db.get(),
            "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;"
            "DROP TABLE IF EXISTS films_fts; DROP TABLE IF EXISTS films;"
            "CREATE TABLE films(id INTEGER PRIMARY KEY, size INTEGER NOT NULL, hash TEXT NOT NULL,"
            " actor TEXT NOT NULL, extra TEXT NOT NULL, name TEXT NOT NULL);"
            "BEGIN;",
            error)) {
    return -1;
  }
  Statement insert = Prepare(db.get(),
                             "INSERT INTO films(size, hash, actor, extra, name) "
                             "VALUES(?1, ?2, ?3, ?4, ?5)");
  long long rows = 0;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    const auto parts = SplitTabs(line);
    if (parts.size() < 4) continue;
    sqlite3_bind_int64(insert.get(), 1, ParseSize(parts[0]));
    sqlite3_bind_text(insert.get(), 2, parts[1].data(), static_cast<int>(parts[1].size()),
                      SQLITE_TRANSIENT);
    sqlite3_bind_text(insert.get(), 3, parts[2].data(), static_cast<int>(parts[2].size()),
                      SQLITE_TRANSIENT);
    const std::string_view extra = parts.size() > 4 ? parts[4] : std::string_view("0");
    sqlite3_bind_text(insert.get(), 4, extra.data(), static_cast<int>(extra.size()),
                      SQLITE_TRANSIENT);
    sqlite3_bind_text(insert.get(), 5, parts[3].data(), static_cast<int>(parts[3].size()),
                      SQLITE_TRANSIENT);
    if (sqlite3_step(insert.get()) != SQLITE_DONE) {
      error = sqlite3_errmsg(db.get());
      return -1;
    }
    sqlite3_reset(insert.get());
    ++rows;
  }
  if (!Exec(db.get(),
            "COMMIT;"
            "CREATE VIRTUAL TABLE films_fts USING fts5(name, actor, content='films',"
            " content_rowid='id', tokenize='trigram');"
            "INSERT INTO films_fts(films_fts) VALUES('rebuild');",
            error)) {
    return -1;
  }
  return rows;
}

std::unique_ptr<Catalogue> Catalogue::Open(const std::string& dbPath, std::string& error) {
  sqlite3* raw = nullptr;
  if (sqlite3_open_v2(dbPath.c_str(), &raw, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) !=
      SQLITE_OK) {
    error = "cannot open " + dbPath;
    sqlite3_close_v2(raw);
    return nullptr;
  }
  SqliteHandle db(raw);
  // Reading through a memory map saves a system call per page on every search.
  std::string ignored;
  Exec(db.get(), "PRAGMA mmap_size=1073741824; PRAGMA cache_size=-2048;", ignored);
  if (!Prepare(db.get(), "SELECT 1 FROM films_fts LIMIT 1")) {
    error = dbPath + " holds no catalogue";
    return nullptr;
  }
  return std::unique_ptr<Catalogue>(new Catalogue(std::move(db)));
}

sqlite3_stmt* Catalogue::Cached(Statement& slot, std::string_view sql) {
  if (!slot) slot = Prepare(db_.get(), sql);
  if (slot) {
    sqlite3_reset(slot.get());
    sqlite3_clear_bindings(slot.get());
  }
  return slot.get();
}

std::vector<CatalogueEntry> Catalogue::Search(std::string_view keyword, int limit) {
  std::vector<CatalogueEntry> entries;
  sqlite3_stmt* stmt = nullptr;
  if (keyword.empty()) {
    stmt = Cached(first_, "SELECT size, hash, actor, extra, name FROM films ORDER BY id LIMIT ?1");
    if (stmt) sqlite3_bind_int(stmt, 1, limit);
  } else if (CharCount(keyword) >= 3) {
    // A quoted phrase matches any substring through the trigram index.
    std::string phrase = "\"";
    for (char c : keyword) {
      if (c == '"') phrase.push_back('"');
      phrase.push_back(c);
    }
    phrase.push_back('"');
    stmt = Cached(indexed_,
                  "SELECT size, hash, actor, extra, name FROM films WHERE id IN"
                  " (SELECT rowid FROM films_fts WHERE films_fts MATCH ?1) ORDER BY id LIMIT ?2");
    if (stmt) {
      sqlite3_bind_text(stmt, 1, phrase.data(), static_cast<int>(phrase.size()), SQLITE_TRANSIENT);
      sqlite3_bind_int(stmt, 2, limit);
    }
  } else {
    // Too short for trigrams: a scan; LIKE ignores ASCII letter case.
    const std::string like = "%" + LikeEscape(keyword) + "%";
    stmt = Cached(scanned_,
                  "SELECT size, hash, actor, extra, name FROM films WHERE name LIKE ?1 ESCAPE '\\'"
                  " OR actor LIKE ?1 ESCAPE '\\' ORDER BY id LIMIT ?2");
    if (stmt) {
      sqlite3_bind_text(stmt, 1, like.data(), static_cast<int>(like.size()), SQLITE_TRANSIENT);
      sqlite3_bind_int(stmt, 2, limit);
    }
  }
  if (!stmt) return entries;
  while (sqlite3_step(stmt) == SQLITE_ROW) {
    CatalogueEntry e;
    e.size = sqlite3_column_int64(stmt, 0);
    e.hash = Column(stmt, 1);
    e.actor = Column(stmt, 2);
    e.extra = Column(stmt, 3);
    e.name = Column(stmt, 4);
    entries.push_back(std::move(e));
  }
  sqlite3_reset(stmt);
  return entries;
}

}  // namespace xyx::service
