#include "results/KeepRules.h"

#include <algorithm>

#include "quopdb/MatchRules.h"

namespace results {
namespace {

bool TimeSet(double t) { return quopdb::ReceivedEarlier(t, 0.0); }

// Whether the rule ranks a strictly before b.
bool Better(const TKeepStep& step, const TKeepCandidate& a, const TKeepCandidate& b) {
  switch (step.rule) {
    case EKeepRule::ReceivedFirst:
      return quopdb::ReceivedEarlier(a.received, b.received);
    case EKeepRule::ReceivedLast:
      return TimeSet(a.received) && (!TimeSet(b.received) || b.received < a.received);
    case EKeepRule::Largest:
      return a.size > b.size;
    case EKeepRule::MostAttachments:
      return a.attachments > b.attachments;
    case EKeepRule::ReadOrFlagged:
      return (a.read || a.flagged) && !(b.read || b.flagged);
    case EKeepRule::PreferredFolder:
      return FolderRank(a, step.folders) < FolderRank(b, step.folders);
    case EKeepRule::EarliestAdded:
      return false;
  }
  return false;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return Lower(x) == Lower(y); });
}

// Whether `entry` names `folder` or one of its ancestors.
bool Covers(std::string_view entry, std::string_view folder) {
  while (!entry.empty() && entry.back() == '/') entry.remove_suffix(1);
  if (entry.empty() || folder.size() < entry.size()) return false;
  if (!SameText(folder.substr(0, entry.size()), entry)) return false;
  return folder.size() == entry.size() || folder[entry.size()] == '/';
}

struct TRuleName {
  EKeepRule rule;
  const char* name;
  TKeepRuleText text;
};
constexpr TRuleName kRules[] = {
    {EKeepRule::ReceivedFirst, "oldest", {"strKeepReceivedFirst", "Received first"}},
    {EKeepRule::ReceivedLast, "newest", {"strKeepReceivedLast", "Received last"}},
    {EKeepRule::Largest, "largest", {"strKeepLargest", "Largest"}},
    {EKeepRule::MostAttachments, "attachments", {"strKeepMostAttachments", "With most attachments"}},
    {EKeepRule::ReadOrFlagged, "read", {"strKeepReadFlagged", "Read / flagged before unread"}},
    {EKeepRule::PreferredFolder, "folder", {"strKeepPreferredFolder", "In a preferred folder"}},
    {EKeepRule::EarliestAdded, "", {"strKeepEarliestAdded", "Added first"}},
};

const TRuleName& NameOf(EKeepRule rule) {
  for (const auto& r : kRules)
    if (r.rule == rule) return r;
  return kRules[std::size(kRules) - 1];
}

// Reads `"…"` at text[pos] (pos at the opening quote); a doubled quote is one.
bool ReadQuoted(std::string_view text, std::size_t& pos, std::string& out) {
  for (++pos; pos < text.size(); ++pos) {
    if (text[pos] != '"') {
      out += text[pos];
    } else if (pos + 1 < text.size() && text[pos + 1] == '"') {
      out += '"';
      ++pos;
    } else {
      ++pos;
      return true;
    }
  }
  return false;
}

}  // namespace

TKeepChain DefaultKeepChain() { return {TKeepStep{EKeepRule::ReceivedFirst, {}}}; }

std::size_t FolderRank(const TKeepCandidate& c, const std::vector<std::string>& folders) {
  const std::string full = c.store + "/" + c.path;
  for (std::size_t i = 0; i < folders.size(); ++i)
    if (Covers(folders[i], c.path) || Covers(folders[i], full)) return i;
  return folders.size();
}

TKeepChoice ChooseKeep(std::span<const TKeepCandidate> candidates, const TKeepChain& chain) {
  std::vector<std::size_t> left(candidates.size());
  for (std::size_t i = 0; i < left.size(); ++i) left[i] = i;
  if (left.size() <= 1) return {0, chain.empty() ? EKeepRule::EarliestAdded : chain.front().rule};
  for (const auto& step : chain) {
    // The best under this rule: those no other remaining candidate beats.
    std::vector<std::size_t> best;
    for (std::size_t i : left) {
      const bool beaten = std::any_of(left.begin(), left.end(), [&](std::size_t j) {
        return Better(step, candidates[j], candidates[i]);
      });
      if (!beaten) best.push_back(i);
    }
    left = std::move(best);
    if (left.size() == 1) return {left.front(), step.rule};
  }
  return {left.front(), EKeepRule::EarliestAdded};
}

TKeepRuleText KeepRuleText(EKeepRule rule) { return NameOf(rule).text; }

TKeepChainParse ParseKeepChain(std::string_view text) {
  TKeepChainParse result;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t end = std::min(text.find_first_of(",:", pos), text.size());
    const std::string_view name = text.substr(pos, end - pos);
    if (name == "folder") {
      std::string folder;
      if (end >= text.size() || text[end] != ':' || end + 1 >= text.size() || text[end + 1] != '"') {
        result.error = "folder needs a quoted name, e.g. folder:\"Archive/2024\"";
        return result;
      }
      pos = end + 1;
      if (!ReadQuoted(text, pos, folder)) {
        result.error = "folder name without its closing quote";
        return result;
      }
      if (result.chain.empty() || result.chain.back().rule != EKeepRule::PreferredFolder)
        result.chain.push_back({EKeepRule::PreferredFolder, {}});
      result.chain.back().folders.push_back(folder);
    } else {
      const auto* found = std::find_if(std::begin(kRules), std::end(kRules), [&](const TRuleName& r) {
        return *r.name != '\0' && name == r.name;
      });
      if (found == std::end(kRules) || found->rule == EKeepRule::PreferredFolder) {
        result.error = "unknown keep rule \"" + std::string(name) +
                       "\"; use oldest, newest, largest, attachments, read or folder:\"…\"";
        return result;
      }
      result.chain.push_back({found->rule, {}});
      pos = end;
    }
    if (pos < text.size()) {
      if (text[pos] != ',' || pos + 1 == text.size()) {
        result.error = "keep rules are separated by single commas";
        return result;
      }
      ++pos;
    }
  }
  if (result.chain.empty()) {
    result.error = "no keep rule given";
    return result;
  }
  result.ok = true;
  return result;
}

std::string FormatKeepChain(const TKeepChain& chain) {
  std::string text;
  auto item = [&](const std::string& s) { text += (text.empty() ? "" : ",") + s; };
  for (const auto& step : chain) {
    if (step.rule == EKeepRule::EarliestAdded) continue;
    if (step.rule != EKeepRule::PreferredFolder) {
      item(NameOf(step.rule).name);
      continue;
    }
    for (const auto& folder : step.folders) {
      std::string quoted = "folder:\"";
      for (char c : folder) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
      item(quoted + "\"");
    }
  }
  return text;
}

}  // namespace results
