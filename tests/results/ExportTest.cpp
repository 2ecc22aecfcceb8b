#include "results/ResultsExport.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "tests/results/CsvReader.h"

using namespace results;

namespace {

// A strict reader for the JSON the export writes: an array of flat objects
// whose values are strings or non-negative integers. Strings are decoded.
struct TJsonReader {
  std::string_view s;
  std::size_t i = 0;
  bool ok = true;

  void Ws() { while (i < s.size() && (s[i] == ' ' || s[i] == '\n' || s[i] == '\r' || s[i] == '\t')) ++i; }
  bool Eat(char c) {
    Ws();
    if (i < s.size() && s[i] == c) return ++i, true;
    return false;
  }
  std::string String() {
    std::string out;
    if (!Eat('"')) return ok = false, out;
    while (i < s.size() && s[i] != '"') {
      const auto u = static_cast<unsigned char>(s[i]);
      if (u < 0x20) return ok = false, out;
      if (s[i] != '\\') {
        out += s[i++];
        continue;
      }
      if (++i >= s.size()) return ok = false, out;
      const char e = s[i++];
      if (e == 'u') {
        if (i + 4 > s.size()) return ok = false, out;
        const unsigned cp = static_cast<unsigned>(std::stoul(std::string(s.substr(i, 4)), nullptr, 16));
        i += 4;
        if (cp >= 0x80) return ok = false, out;  // the writer escapes control characters only
        out += static_cast<char>(cp);
      } else if (e == '"' || e == '\\' || e == '/') {
        out += e;
      } else {
        const std::map<char, char> simple = {{'n', '\n'}, {'r', '\r'}, {'t', '\t'}, {'b', '\b'}, {'f', '\f'}};
        if (!simple.count(e)) return ok = false, out;
        out += simple.at(e);
      }
    }
    if (!Eat('"')) ok = false;
    return out;
  }
  std::vector<std::map<std::string, std::string>> Array() {
    std::vector<std::map<std::string, std::string>> rows;
    if (!Eat('[')) return ok = false, rows;
    if (Eat(']')) return rows;
    do {
      std::map<std::string, std::string> row;
      if (!Eat('{')) return ok = false, rows;
      do {
        const std::string key = String();
        if (!Eat(':')) return ok = false, rows;
        Ws();
        if (i < s.size() && s[i] == '"') {
          row[key] = String();
        } else {
          std::string digits;
          while (i < s.size() && s[i] >= '0' && s[i] <= '9') digits += s[i++];
          if (digits.empty()) return ok = false, rows;
          row[key] = digits;
        }
      } while (ok && Eat(','));
      if (!Eat('}')) return ok = false, rows;
      rows.push_back(std::move(row));
    } while (ok && Eat(','));
    if (!Eat(']')) ok = false;
    Ws();
    if (i != s.size()) ok = false;
    return rows;
  }
};

bool IsValidUtf8(std::string_view s) { return ValidUtf8(s) == s; }

std::vector<TExportRow> Sample() {
  // 45356.5 is 2024-03-05 12:00:00 UTC.
  return {
      {1, true, "Received first", "Mailbox", "Inbox", "Ann \"A\" Lee", "ann@example.com",
       "Line one\r\nline two, with comma", 45356.5, 2048, "00AB"},
      {1, false, "", "Mailbox", "Archive/2024", "Bob\\Back", "bob@example.com",
       std::string("ctl\x01tab\t") + "bad\xC3(\xFF end", 0, 10, "00CD"},
      {2, true, "Largest", "Ärchiv €", "Ordner/Unterordner", "Zoë", "zoe@example.com", "日本語", 45356.999999,
       0, "00EF"},
  };
}

}  // namespace

TEST(ResultsExport, CsvReadsBackFieldForField) {
  const auto rows = Sample();
  const std::string csv = ExportCsv(rows);
  ASSERT_EQ(csv.substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_TRUE(IsValidUtf8(csv));
  const TTable table = ReadCsv(std::string_view(csv).substr(3));
  ASSERT_EQ(table.size(), rows.size() + 1);
  EXPECT_EQ(table[0][2], "Kept because");
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const auto& row = rows[r];
    const std::vector<std::string> expected = {
        std::to_string(row.group), row.kept ? "kept" : "removed", row.whyKept, row.store, row.path,
        row.senderName, row.senderAddress, ValidUtf8(row.subject), IsoUtc(row.received),
        std::to_string(row.size), row.entryID};
    EXPECT_EQ(table[r + 1], expected) << "row " << r;
  }
  EXPECT_EQ(table[1][7], "Line one\r\nline two, with comma");
  EXPECT_EQ(table[1][8], "2024-03-05T12:00:00Z");
}

TEST(ResultsExport, JsonParsesAndKeepsEveryText) {
  const auto rows = Sample();
  const std::string json = ExportJson(rows);
  EXPECT_TRUE(IsValidUtf8(json));
  TJsonReader reader{json};
  const auto parsed = reader.Array();
  ASSERT_TRUE(reader.ok) << "invalid JSON at " << reader.i << ": " << json;
  ASSERT_EQ(parsed.size(), rows.size());
  for (std::size_t r = 0; r < rows.size(); ++r) {
    EXPECT_EQ(parsed[r].at("group"), std::to_string(rows[r].group));
    EXPECT_EQ(parsed[r].at("status"), rows[r].kept ? "kept" : "removed");
    EXPECT_EQ(parsed[r].at("keptBecause"), rows[r].whyKept);
    EXPECT_EQ(parsed[r].at("folder"), rows[r].path);
    EXPECT_EQ(parsed[r].at("senderName"), rows[r].senderName);
    EXPECT_EQ(parsed[r].at("subject"), ValidUtf8(rows[r].subject));
    EXPECT_EQ(parsed[r].at("received"), IsoUtc(rows[r].received));
    EXPECT_EQ(parsed[r].at("size"), std::to_string(rows[r].size));
    EXPECT_EQ(parsed[r].at("entryId"), rows[r].entryID);
  }
  const std::string none = ExportJson({});
  TJsonReader empty{none};
  EXPECT_TRUE(empty.Array().empty());
  EXPECT_TRUE(empty.ok);
}

// A row already treated says so in both formats, whatever its check was.
TEST(ResultsExport, TreatedRowsSayTreated) {
  std::vector<TExportRow> rows = Sample();
  rows[0].treated = true;  // a kept row treated all the same
  rows[1].treated = true;
  const char* const expected[] = {"treated", "treated", "kept"};
  const TTable table = ReadCsv(std::string_view(ExportCsv(rows)).substr(3));
  ASSERT_EQ(table.size(), rows.size() + 1);
  const std::string json = ExportJson(rows);
  TJsonReader reader{json};
  const auto parsed = reader.Array();
  ASSERT_TRUE(reader.ok) << json;
  ASSERT_EQ(parsed.size(), rows.size());
  for (std::size_t r = 0; r < rows.size(); ++r) {
    EXPECT_EQ(table[r + 1][1], expected[r]) << "row " << r;
    EXPECT_EQ(parsed[r].at("status"), expected[r]) << "row " << r;
  }
}

TEST(ResultsExport, InvalidUtf8IsReplacedNotPassedOn) {
  const struct {
    std::string in;
    std::string out;
  } cases[] = {
      {"plain", "plain"},
      {"\xC3\xA9", "\xC3\xA9"},                          // é stays
      {"a\xFF" "b", "a\xEF\xBF\xBD" "b"},                  // stray byte
      {"\xC3", "\xEF\xBF\xBD"},                          // cut short at the end
      {"\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"},          // overlong '/'
      {"\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // surrogate
      {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},          // 4-byte emoji stays
  };
  for (const auto& c : cases) EXPECT_EQ(ValidUtf8(c.in), c.out) << c.in;
}

TEST(ResultsExport, IsoTimesInUtc) {
  const struct {
    double received;
    const char* iso;
  } cases[] = {
      {0, ""},
      {25569, "1970-01-01T00:00:00Z"},
      {45351.25, "2024-02-29T06:00:00Z"},
      {45356 + (14 * 3600 + 7 * 60 + 9.6) / 86400.0, "2024-03-05T14:07:09Z"},
      {1, "1899-12-31T00:00:00Z"},
  };
  for (const auto& c : cases) EXPECT_EQ(IsoUtc(c.received), c.iso) << c.received;
}
