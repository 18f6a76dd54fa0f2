#include "core/pattern/regexp_object.h"

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

namespace xyx {

namespace {

// Limits that make a runaway pattern (nested quantifiers over a long subject) fail within
// milliseconds instead of hanging the window; ordinary patterns over list cells stay far
// below them.
constexpr std::uint32_t kMatchLimit = 1'000'000;
constexpr std::uint32_t kDepthLimit = 100'000;
constexpr std::uint32_t kHeapLimitKiB = 32 * 1024;
constexpr PCRE2_SIZE kJitStackStart = 32 * 1024;
constexpr PCRE2_SIZE kJitStackMax = 1024 * 1024;

bool IsHighSurrogate(char16_t u) {
  return u >= 0xD800 && u <= 0xDBFF;
}
bool IsLowSurrogate(char16_t u) {
  return u >= 0xDC00 && u <= 0xDFFF;
}

// Length of the run of valid UTF-16 at the start of `s`.
std::size_t ValidPrefix(std::u16string_view s) {
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (IsHighSurrogate(s[i])) {
      if (i + 1 < s.size() && IsLowSurrogate(s[i + 1])) {
        ++i;
        continue;
      }
      return i;
    }
    if (IsLowSurrogate(s[i])) return i;
  }
  return s.size();
}

// PCRE2 in UTF mode must never see a lone surrogate. Each one becomes U+FFFD, one code unit
// for one, so every offset found in the copy is an offset into the original as well.
std::u16string_view Sanitized(std::u16string_view s, std::u16string& buffer) {
  // Most text has no surrogate at all; this branch-free test is cheap for it.
  bool anySurrogate = false;
  for (const char16_t u : s) anySurrogate |= (u & 0xF800) == 0xD800;
  if (!anySurrogate) return s;
  const std::size_t valid = ValidPrefix(s);
  if (valid == s.size()) return s;
  buffer.assign(s);
  for (std::size_t i = valid; i < buffer.size(); ++i) {
    if (IsHighSurrogate(buffer[i]) && i + 1 < buffer.size() && IsLowSurrogate(buffer[i + 1])) {
      ++i;
    } else if (IsHighSurrogate(buffer[i]) || IsLowSurrogate(buffer[i])) {
      buffer[i] = u'\uFFFD';
    }
  }
  return buffer;
}

PCRE2_SPTR AsPcre(std::u16string_view s) {
  return reinterpret_cast<PCRE2_SPTR>(s.data());
}

// The start of the character after the one at `pos`: a surrogate pair is stepped over whole.
std::size_t NextCharStart(std::u16string_view s, std::size_t pos) {
  if (pos + 1 < s.size() && IsHighSurrogate(s[pos]) && IsLowSurrogate(s[pos + 1])) return pos + 2;
  return pos + 1;
}

bool IsDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}

}  // namespace

struct RegExpObject::Pcre {
  struct Free {
    void operator()(pcre2_code* p) const { pcre2_code_free(p); }
    void operator()(pcre2_match_data* p) const { pcre2_match_data_free(p); }
    void operator()(pcre2_compile_context* p) const { pcre2_compile_context_free(p); }
    void operator()(pcre2_match_context* p) const { pcre2_match_context_free(p); }
    void operator()(pcre2_jit_stack* p) const { pcre2_jit_stack_free(p); }
  };
  std::unique_ptr<pcre2_compile_context, Free> compileContext{
      pcre2_compile_context_create(nullptr)};
  std::unique_ptr<pcre2_match_context, Free> matchContext{pcre2_match_context_create(nullptr)};
  std::unique_ptr<pcre2_jit_stack, Free> jitStack{
      pcre2_jit_stack_create(kJitStackStart, kJitStackMax, nullptr)};
  std::unique_ptr<pcre2_code, Free> code;
  std::unique_ptr<pcre2_match_data, Free> data;  // made once per compiled pattern, then reused
  std::size_t groups = 0;
  int compileError = 0;
};

RegexVariant SubMatchCollection::Item(int index) const {
  if (index < 0 || index >= Count()) return std::nullopt;
  return items_[static_cast<std::size_t>(index)];
}

int MatchCollection::Count() const {
  return static_cast<int>(offsets_.size() / (2 * (groups_ + 1)));
}

std::optional<Match> MatchCollection::Item(int index) const {
  if (index < 0 || index >= Count()) return std::nullopt;
  const std::size_t* pair = offsets_.data() + static_cast<std::size_t>(index) * 2 * (groups_ + 1);
  Match m;
  m.firstIndex_ = static_cast<int>(pair[0]);
  m.value_ = subject_.substr(pair[0], pair[1] - pair[0]);
  m.subMatches_.items_.reserve(groups_);
  for (std::size_t g = 1; g <= groups_; ++g) {
    const std::size_t start = pair[2 * g];
    const std::size_t end = pair[2 * g + 1];
    if (start == PCRE2_UNSET || end < start) {
      m.subMatches_.items_.emplace_back(std::nullopt);
    } else {
      m.subMatches_.items_.emplace_back(subject_.substr(start, end - start));
    }
  }
  return m;
}

void MatchCollection::Clear() {
  subject_.clear();
  groups_ = 0;
  offsets_.clear();
}

RegExpObject::RegExpObject() : pcre_(std::make_unique<Pcre>()) {
  if (pcre_->compileContext) {
    // A line ends at LF, at CR, and at CR LF.
    pcre2_set_newline(pcre_->compileContext.get(), PCRE2_NEWLINE_ANYCRLF);
  }
  if (pcre_->matchContext) {
    pcre2_set_match_limit(pcre_->matchContext.get(), kMatchLimit);
    pcre2_set_depth_limit(pcre_->matchContext.get(), kDepthLimit);
    pcre2_set_heap_limit(pcre_->matchContext.get(), kHeapLimitKiB);
    if (pcre_->jitStack) {
      pcre2_jit_stack_assign(pcre_->matchContext.get(), nullptr, pcre_->jitStack.get());
    }
  }
}

RegExpObject::~RegExpObject() = default;

void RegExpObject::SetPattern(std::u16string_view pattern) {
  ++propertyWrites_;
  if (pattern != pattern_) {
    pattern_.assign(pattern);
    dirty_ = true;
  }
}

void RegExpObject::SetIgnoreCase(int value) {
  ++propertyWrites_;
  if ((value != 0) != ignoreCase_) {
    ignoreCase_ = value != 0;
    dirty_ = true;
  }
}

void RegExpObject::SetMultiline(int value) {
  ++propertyWrites_;
  if ((value != 0) != multiline_) {
    multiline_ = value != 0;
    dirty_ = true;
  }
}

void RegExpObject::SetGlobal(int value) {
  ++propertyWrites_;
  global_ = value != 0;  // a matching-time choice: nothing to compile again
}

bool RegExpObject::Compile() {
  if (!dirty_) {
    if (!pcre_->code) lastError_ = pcre_->compileError;
    return pcre_->code != nullptr;
  }
  dirty_ = false;
  pcre_->data.reset();
  pcre_->code.reset();
  pcre_->groups = 0;
  pcre_->compileError = 0;

  // The options bring PCRE2 close to the script engine's dialect: \xhh and \uhhhh escapes, an
  // empty class, and a back reference to an unset group matching the empty string. UTF mode
  // keeps surrogate pairs whole and gives case folding beyond ASCII (full-width letters); \w,
  // \d and \b stay ASCII as they are there. Outside multiline mode "$" is the very end only.
  std::uint32_t options = PCRE2_UTF | PCRE2_NO_UTF_CHECK | PCRE2_NEVER_BACKSLASH_C |
                          PCRE2_ALT_BSUX | PCRE2_ALLOW_EMPTY_CLASS | PCRE2_MATCH_UNSET_BACKREF;
  if (ignoreCase_) options |= PCRE2_CASELESS;
  options |= multiline_ ? PCRE2_MULTILINE : PCRE2_DOLLAR_ENDONLY;

  std::u16string buffer;
  const std::u16string_view pattern = Sanitized(pattern_, buffer);
  int error = 0;
  PCRE2_SIZE errorOffset = 0;
  pcre_->code.reset(pcre2_compile(AsPcre(pattern), pattern.size(), options, &error, &errorOffset,
                                  pcre_->compileContext.get()));
  if (pcre_->code) {
    // Without JIT support (or memory for it) the interpreter runs the same pattern.
    pcre2_jit_compile(pcre_->code.get(), PCRE2_JIT_COMPLETE);
    pcre_->data.reset(pcre2_match_data_create_from_pattern(pcre_->code.get(), nullptr));
    std::uint32_t groups = 0;
    pcre2_pattern_info(pcre_->code.get(), PCRE2_INFO_CAPTURECOUNT, &groups);
    pcre_->groups = groups;
  }
  if (!pcre_->code || !pcre_->data) {
    pcre_->code.reset();
    pcre_->compileError = error != 0 ? error : PCRE2_ERROR_NOMEMORY;
    lastError_ = pcre_->compileError;
    return false;
  }
  return true;
}

bool RegExpObject::Scan(std::u16string_view subject, bool all, std::vector<std::size_t>& offsets) {
  const std::u16string_view s = Sanitized(subject, scratch_);
  pcre2_code* code = pcre_->code.get();
  pcre2_match_data* data = pcre_->data.get();
  const std::size_t pairs = pcre_->groups + 1;
  std::size_t start = 0;
  std::uint32_t options = 0;
  while (start <= s.size()) {
    const int rc = pcre2_match(code, AsPcre(s), s.size(), start, options | PCRE2_NO_UTF_CHECK, data,
                               pcre_->matchContext.get());
    if (rc == PCRE2_ERROR_NOMATCH) {
      if (options == 0) return true;
      // No non-empty match where the last empty one was: move on by one character.
      start = NextCharStart(s, start);
      options = 0;
      continue;
    }
    if (rc < 0) {
      lastError_ = rc;
      return false;
    }
    const PCRE2_SIZE* ov = pcre2_get_ovector_pointer(data);
    if (ov[0] > ov[1]) return true;  // \K moved the start past the end; nothing sensible follows
    for (std::size_t g = 0; g < pairs; ++g) {
      const bool set = g < static_cast<std::size_t>(rc) && ov[2 * g] != PCRE2_UNSET;
      offsets.push_back(set ? ov[2 * g] : PCRE2_UNSET);
      offsets.push_back(set ? ov[2 * g + 1] : PCRE2_UNSET);
    }
    if (!all) return true;
    start = ov[1];
    // After an empty match, first look for a non-empty one at the same place, as Perl does.
    options = ov[0] == ov[1] ? PCRE2_NOTEMPTY_ATSTART | PCRE2_ANCHORED : 0;
  }
  return true;
}

MatchCollection RegExpObject::Execute(std::u16string_view subject) {
  MatchCollection out;
  ExecuteInto(subject, out);
  return out;
}

void RegExpObject::ExecuteInto(std::u16string_view subject, MatchCollection& out) {
  lastError_ = 0;
  out.offsets_.clear();
  if (!Compile()) {
    out.Clear();
    return;
  }
  out.groups_ = pcre_->groups;
  if (!Scan(subject, global_, out.offsets_)) {
    out.Clear();
    return;
  }
  out.subject_.assign(subject);
}

RegexVariant RegExpObject::Replace(std::u16string_view subject, std::u16string_view replacement) {
  lastError_ = 0;
  if (!Compile()) return std::nullopt;
  replaceOffsets_.clear();
  if (!Scan(subject, global_, replaceOffsets_)) return std::nullopt;

  const std::size_t groups = pcre_->groups;
  const std::size_t stride = 2 * (groups + 1);
  std::u16string out;
  out.reserve(subject.size() + replacement.size());
  std::size_t copied = 0;
  for (std::size_t m = 0; m < replaceOffsets_.size(); m += stride) {
    const std::size_t* pair = replaceOffsets_.data() + m;
    const std::size_t start = pair[0];
    const std::size_t end = pair[1];
    out.append(subject.substr(copied, start - copied));
    const auto appendGroup = [&](std::size_t g) {
      if (pair[2 * g] != PCRE2_UNSET && pair[2 * g + 1] >= pair[2 * g]) {
        out.append(subject.substr(pair[2 * g], pair[2 * g + 1] - pair[2 * g]));
      }
    };
    for (std::size_t i = 0; i < replacement.size(); ++i) {
      const char16_t c = replacement[i];
      if (c != u'$' || i + 1 >= replacement.size()) {
        out.push_back(c);
        continue;
      }
      const char16_t next = replacement[i + 1];
      if (next == u'$') {
        out.push_back(u'$');
        ++i;
      } else if (next == u'&') {
        out.append(subject.substr(start, end - start));
        ++i;
      } else if (next == u'`') {
        out.append(subject.substr(0, start));
        ++i;
      } else if (next == u'\'') {
        out.append(subject.substr(end));
        ++i;
      } else if (IsDigit(next)) {
        // Two digits when they name an existing group, else one digit, else a plain "$".
        const std::size_t one = next - u'0';
        if (i + 2 < replacement.size() && IsDigit(replacement[i + 2])) {
          const std::size_t two = one * 10 + static_cast<std::size_t>(replacement[i + 2] - u'0');
          if (two >= 1 && two <= groups) {
            appendGroup(two);
            i += 2;
            continue;
          }
        }
        if (one >= 1 && one <= groups) {
          appendGroup(one);
          ++i;
        } else {
          out.push_back(u'$');
        }
      } else {
        out.push_back(u'$');
      }
    }
    copied = end;
  }
  out.append(subject.substr(copied));
  return out;
}

bool RegExpObject::Test(std::u16string_view subject) {
  lastError_ = 0;
  if (!Compile()) return false;
  replaceOffsets_.clear();
  return Scan(subject, false, replaceOffsets_) && !replaceOffsets_.empty();
}

}  // namespace xyx
