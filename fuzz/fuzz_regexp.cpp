// Arbitrary patterns, subjects and replacements, both as local text through RegexEngine and as
// raw UTF-16 (lone surrogates included) straight into RegExpObject. Nothing may crash or hang,
// and what Execute reports must describe the subject.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/pattern/regex_engine.h"
#include "core/pattern/regexp_object.h"

namespace {

std::u16string Wide(const std::string& bytes) {
  std::u16string out;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    out.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                        static_cast<unsigned char>(bytes[i + 1]) << 8));
  }
  return out;
}

void Check(bool ok) {
  if (!ok) std::abort();
}

void RawObject(std::uint8_t mode, const std::string& pattern, const std::string& replacement,
               const std::string& subject) {
  xyx::RegExpObject re;
  re.SetPattern(Wide(pattern));
  re.SetIgnoreCase(mode & 1);
  re.SetMultiline(mode & 2);
  re.SetGlobal(mode & 4);
  const std::u16string s = Wide(subject);
  const xyx::MatchCollection c = re.Execute(s);
  const bool failed = re.LastError() != 0;
  Check(!failed || c.Count() == 0);
  Check((mode & 4) || c.Count() <= 1);
  int end = 0;
  for (int i = 0; i < std::min(c.Count(), 64); ++i) {
    const auto m = c.Item(i);
    Check(m.has_value());
    Check(m->FirstIndex() >= end && m->FirstIndex() + m->Length() <= static_cast<int>(s.size()));
    Check(m->Value() == s.substr(static_cast<std::size_t>(m->FirstIndex()),
                                 static_cast<std::size_t>(m->Length())));
    end = m->FirstIndex() + m->Length();
    for (int g = 0; g < m->SubMatches().Count(); ++g) (void)m->SubMatches().Item(g);
  }
  if (!failed) {
    Check(re.Test(s) == (c.Count() > 0));
    const auto same = re.Replace(s, u"$&");
    Check(!same || *same == s);
  }
  (void)re.Replace(s, Wide(replacement));
}

void LocalEngine(std::uint8_t mode, const std::string& pattern, const std::string& replacement,
                 const std::string& subject) {
  xyx::RegexEngine e;
  e.SetPattern(pattern, mode & 1, mode & 2, mode & 4);
  const int n = e.FindMatches(subject);
  Check(n == e.MatchCount());
  for (int i = 0; i <= std::min(n, 32) + 1; ++i) {
    (void)e.MatchText(i);
    Check(e.MatchLength(i) >= 0 && e.MatchByteLength(i, 0) >= 0);
    for (int g = -1; g <= e.SubMatchCount() + 1 && g < 16; ++g) {
      (void)e.SubMatchText(i, g);
      (void)e.MatchLength(i, g);
      (void)e.MatchByteLength(i, g);
    }
  }
  if (n > 0) Check(e.TestMatch(subject));
  (void)e.ReplaceMatches(subject, replacement);
  const xyx::RegexEngine copy(e);
  Check(copy.MatchCount() == n);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const auto mode = in.ConsumeIntegral<std::uint8_t>();
  const std::string pattern = in.ConsumeRandomLengthString(512);
  const std::string replacement = in.ConsumeRandomLengthString(64);
  const std::string subject = in.ConsumeRemainingBytesAsString();
  if (mode & 8) {
    RawObject(mode, pattern, replacement, subject);
  } else {
    LocalEngine(mode, pattern, replacement, subject);
  }
  return 0;
}
