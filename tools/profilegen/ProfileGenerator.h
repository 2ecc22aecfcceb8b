// A deterministic sample mail profile for the stand-in MAPI provider, as
// JSON text: several stores with special, nested and non-mail folders,
// messages with a chosen share of exact copies (half in their original's
// folder, the others across folders and stores) and of near copies that
// differ in one field, and attachments.
#pragma once

#include <cstdint>
#include <string>

struct ProfileGenOptions {
  int stores = 3;
  int messages = 200;
  double exact = 0.15;      // share of exact copies of an earlier message
  double nearCopies = 0.10; // share of copies that differ in one field
  std::uint64_t seed = 1;
  bool realistic = false;  // add the traits of real mailboxes (RealisticTraits.h)
  int bigFolder = 0;       // messages of one more folder, "Bulk mail", in the first store
};

// The same options give the same text.
std::string GenerateProfile(const ProfileGenOptions& options);
