// The traits of real mailboxes that --realistic adds to a generated profile:
// large bodies (different newsletters under one subject, exact copies, a few
// of 1 MB), Unicode texts in several scripts (with pairs of different
// subjects that the ANSI code page turns into the same question marks),
// Exchange senders copied into another store as SMTP senders, drafts, the
// identifiers copies keep (search key, Internet message id), modification
// times and store kinds.
#pragma once

#include <cstdint>
#include <functional>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "tools/profilegen/GenSupport.h"

struct TraitFolders {
  std::vector<nlohmann::ordered_json*> mail;  // where ordinary mail goes
  // One per store, in store order.
  std::vector<nlohmann::ordered_json*> inbox, newsletters, drafts;
};

struct TraitCounts {
  int units;         // messages / 200, at least 1: each unit adds the set below
  int megabyte;      // messages of 1 MB bodies (each with a copy in another store)
};
TraitCounts TraitCountsFor(int messages);

// Adds the trait messages; `newId` gives each a fresh "id".
void AddRealisticTraits(const TraitFolders& folders, const TraitCounts& counts, Random& rnd,
                        const std::function<std::string()>& newId);

// The kind of store `index` (from 0): the first online Exchange, then PST
// and cached Exchange by turns.
const char* StoreKindOf(int index);

// Every message without them gets a search key and, when it was delivered,
// an Internet message id, both made from its content (so exact copies share
// them), and a last modification time (its delivery, submission or, for a
// draft, its own time).
void AddMessageIds(nlohmann::ordered_json& root);
// The same for one message.
void AddIdentifiers(nlohmann::ordered_json& message);

// The legacy Exchange address of a person ("/O=QUOP/.../CN=ANNA.BERG").
std::string ExchangeAddress(const std::string& person);
