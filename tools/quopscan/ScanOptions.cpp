#include "tools/quopscan/ScanOptions.h"

#include <cstdlib>
#include <cstring>
#include <sstream>

#include "indexapi/CompareFields.h"

const char kScanUsage[] =
    "usage: quopscan [--fields NAME,NAME...|--mask MASK] [--across] [--json]\n"
    "                [--keep RULE,RULE...] [--csv FILE] [--profile FILE] [--index FILE]\n"
    "                [--no-cache]\n"
    "Scans every folder of the MAPI profile for duplicate messages. A message\n"
    "is opened for its body only when another shares its other compared\n"
    "fields; body CRCs are kept in INDEX.bodies for the next scan unless\n"
    "--no-cache.\n"
    "Field names: Subject, SenderEmail, Message, From, SentTo, Cc, Bcc, Size,\n"
    "Attachment, Sent, Recieved, UnRead (the keys of the field list without\n"
    "\"str\"); the default is Subject,SenderEmail,Message (mask 0x00D).\n"
    "Keep rules choose the copy to keep, a tie falling to the next rule and at\n"
    "last to the copy found first: oldest (the default), newest, largest,\n"
    "attachments, read (read or flagged first), folder:\"PATH\" (in order; a\n"
    "folder covers its subfolders; PATH or STORE/PATH), e.g.\n"
    "  --keep newest,folder:\"Archive/2024\",largest\n";

namespace {

bool SameNoCase(const std::string& a, const char* b) {
  if (a.size() != std::strlen(b)) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

bool ParseFields(const std::string& list, std::int32_t& mask, std::string& error) {
  mask = 0;
  std::stringstream in(list);
  std::string name;
  while (std::getline(in, name, ',')) {
    bool found = false;
    for (const TCompareField& f : CompareFields)
      if (SameNoCase(name, f.szKey + 3) || SameNoCase(name, f.szCaption)) {
        mask |= f.nFieldID;
        found = true;
      }
    if (!found) {
      error = "unknown field: " + name;
      return false;
    }
  }
  return mask != 0 || (error = "no field given", false);
}

}  // namespace

bool ParseScanOptions(int argc, char** argv, TScanOptions& o, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--across") o.across = true;
    else if (arg == "--json") o.json = true;
    else if (arg == "--no-cache") o.noCache = true;
    else if (arg == "--fields" && hasValue) {
      if (!ParseFields(argv[++i], o.mask, error)) return false;
    } else if (arg == "--mask" && hasValue) {
      char* end = nullptr;
      const long mask = std::strtol(argv[++i], &end, 0);
      if (*end || mask <= 0 || mask > 0xFFF) return (error = "bad mask", false);
      o.mask = static_cast<std::int32_t>(mask);
    } else if (arg == "--profile" && hasValue) o.profile = argv[++i];
    else if (arg == "--index" && hasValue) o.store = argv[++i];
    else if (arg == "--csv" && hasValue) o.csv = argv[++i];
    else if (arg == "--keep" && hasValue) {
      auto parsed = results::ParseKeepChain(argv[++i]);
      if (!parsed.ok) return (error = "--keep: " + parsed.error, false);
      o.keep = std::move(parsed.chain);
    }
    else return (error = "unknown argument: " + arg, false);
  }
  return true;
}
