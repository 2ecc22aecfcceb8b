// The INI engine against the system's own profile functions on the same
// files: the same reads, and the same bytes after the same writes.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "support/IniDocument.h"
#include "support/IniFile.h"
#include "tests/support/TempFolder.h"

namespace {

const char kMissing[] = "\x01missing";

std::optional<std::string> SystemRead(const std::string& strFile, const std::string& section, const std::string& key) {
  std::vector<char> buffer(kIniValueBufferSize);
  const DWORD nLength = GetPrivateProfileStringA(section.c_str(), key.c_str(), kMissing, buffer.data(),
                                                 static_cast<DWORD>(buffer.size()), strFile.c_str());
  std::string strValue(buffer.data(), nLength);
  if (strValue == kMissing) return std::nullopt;
  return strValue;
}

struct TWrite {
  const char* szSection;
  const char* szKey;
  const char* szValue;
};

struct TCompareCase {
  const char* szName;
  std::string text;
  std::vector<TWrite> writes;
};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t nStart = 0;
  while (nStart <= text.size()) {
    const std::size_t nEnd = text.find_first_of("\r\n", nStart);
    lines.push_back(text.substr(nStart, nEnd == std::string::npos ? std::string::npos : nEnd - nStart));
    if (nEnd == std::string::npos) break;
    nStart = nEnd + 1;
  }
  return lines;
}

std::string CaseSwapped(std::string text, bool bUpper) {
  if (!text.empty()) {
    if (bUpper) {
      CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
    } else {
      CharLowerBuffA(text.data(), static_cast<DWORD>(text.size()));
    }
  }
  return text;
}

// Every section and key name the file mentions, raw, in both cases and with
// blanks around it, and names that are not there.
void ProbeNames(const std::string& text, std::set<std::string>& sections, std::set<std::string>& keys) {
  sections = {"", "nowhere"};
  keys = {"", "nothing"};
  for (const std::string& line : Lines(text)) {
    std::string strName = line.substr(0, line.find('='));
    std::set<std::string>* target = &keys;
    if (!line.empty() && line[0] == '[') {
      strName = line.substr(1, line.rfind(']') - 1);
      target = &sections;
    }
    for (const std::string& variant : {strName, CaseSwapped(strName, true), CaseSwapped(strName, false)}) {
      target->insert(variant);
      target->insert(" " + variant + "\t");
    }
  }
}

std::vector<TCompareCase> Cases() {
  const std::string strLong(3000, 'L');
  return {
      {"quotes and blanks",
       "[q]\r\na=\"x\"\r\nb='y'\r\nc=\"z'\r\nd=\"\r\ne=\"\"\r\nf= \" in \" \r\ng=\t\"tab\"\t\r\nh=''''\r\n",
       {{"q", "a", "\"new\""}, {"q", "n", " lead"}, {"Q", "a", "\"new\""}}},
      {"case of names",
       "[Info]\nLanguageID=0x0409\n[MAIN]\nBtn_Caption=&Go\n",
       {{"info", "languageid", "0x0407"}, {"Main", "BTN_caption", "&Run"}, {"main", "New", "n"}}},
      {"duplicate sections and keys",
       "[s]\nk=1\nk=2\n[t]\nk=3\n[S]\nk=4\nj=5\n",
       {{"s", "k", "9"}, {"S", "j", "6"}, {"t", "k", "3"}, {"T", "x", "7"}}},
      {"comments and lines without equals",
       "; first\n# hash\n[c]\n;k=v\nplain line\n  [not a header\n[c2]x\n]\n",
       {{"c", "plain line", "now"}, {"c", "new", "1"}, {"c2", "y", "2"}, {"", "top", "3"}}},
      {"empty values", "[e]\nk=\n j = \nk2=v\n=\n", {{"e", "k", ""}, {"e", "j", "x"}, {"e", "k2", ""}}},
      {"no final newline", "[n]\nk=1\nlast=2", {{"n", "more", "3"}, {"n", "last", "4"}}},
      {"CRLF, LF and CR", "[a]\r\nx=1\r\n\r\n[b]\ny=2\n\n[c]\rz=3\r", {{"b", "y", "5"}, {"c", "w", "6"}}},
      {"blank bytes", "\x1a[ s\x1a]\n\x0bk\x0c=\x0b v \x1a\n\x1cj\x1f=\x1d x \x1e\n[u]\nk=\xa0nb\xa0\n",
       {{"s", "k", "v2"}, {"u", "k", "x"}}},
      {"very long values", "[l]\nk=" + strLong + "\nq=\"" + strLong.substr(0, 2046) + "\"\nr=\"" +
                               strLong.substr(0, 2047) + "\"\ns=\"" + strLong.substr(0, 2048) + "\"\n",
       {{"l", "k", strLong.c_str()}, {"l", "new", "1"}}},
      {"bytes above 127",
       "[\xc4rger]\n\xe4=lower\nHi=\xe9t\xe9\n[\xe4rger]\nx=second\n[\xd0\xa4]\nk=\xff\n",
       {{"\xe4RGER", "\xc4", "UPPER"}, {"\xc4rger", "\xe9", "\xe8"}, {"\xd0\xa4", "k", "\x80\x81"}}},
  };
}

TEST(IniProfileCompare, ReadsAndWritesMatchTheSystemFunctions) {
  TTempFolder folder;
  int nCase = 0;
  for (const TCompareCase& c : Cases()) {
    SCOPED_TRACE(c.szName);
    const std::string strOurs = folder.File("ours" + std::to_string(nCase) + ".ini");
    const std::string strSystem = folder.File("system" + std::to_string(nCase++) + ".ini");
    WriteBytes(strOurs, c.text);
    WriteBytes(strSystem, c.text);

    std::set<std::string> sections, keys;
    ProbeNames(c.text, sections, keys);
    const TIniFile ini(strOurs);
    for (const std::string& section : sections) {
      for (const std::string& key : keys) {
        EXPECT_EQ(ini.ReadString(section, key), SystemRead(strSystem, section, key))
            << "[" << section << "] " << key;
      }
    }

    TIniFile writer(strOurs);
    for (const TWrite& w : c.writes) {
      writer.WriteString(w.szSection, w.szKey, w.szValue);
      ASSERT_TRUE(WritePrivateProfileStringA(w.szSection, w.szKey, w.szValue, strSystem.c_str()));
      EXPECT_EQ(FileBytes(strOurs), FileBytes(strSystem)) << "after [" << w.szSection << "] " << w.szKey;
    }
  }
}

}  // namespace
