// The kinds of special folders the folder tree recognises, in the order it
// asks about them, with how each is recognised and its image.
#pragma once

#include <array>
#include <cstdint>

#include "om/OutlookIntf.h"

enum TShowFolder {
  sfFolderInbox, sfFolderCalendar, sfFolderContacts, sfFolderTasks, sfFolderJournal,
  sfFolderNotes, sfFolderDeletedItems, sfFolderOutbox, sfFolderSentMail, sfFolderDrafts,
  sfFolderToDo, sfFolderJunk, sfFolderRssFeeds
};

// A set of TShowFolder, bit n for the member of ordinal n.
using TShowFolders = std::uint16_t;
constexpr TShowFolders ShowBit(TShowFolder kind) { return static_cast<TShowFolders>(1u << kind); }
// What a new tree lists: every kind but the to-do folder.
inline constexpr TShowFolders kDefaultShowFolders = 0x1BFF;
// What the duplicate finder window lists: the mail folders.
inline constexpr TShowFolders kMailShowFolders =
    ShowBit(sfFolderInbox) | ShowBit(sfFolderDeletedItems) | ShowBit(sfFolderOutbox) |
    ShowBit(sfFolderSentMail) | ShowBit(sfFolderDrafts) | ShowBit(sfFolderJunk);

inline constexpr int kImagePlainFolder = 0, kImageStore = 1, kImageMailFolder = 2;

struct TFolderKind {
  TShowFolder kind;
  bool byItemType;              // recognised by DefaultItemType, else as a default folder
  long constant;                // the OlItemType or OlDefaultFolders value
  int image;
};

// In the order asked: the first kind that answers decides.
inline constexpr std::array<TFolderKind, 13> FolderKinds{{
    {sfFolderInbox, false, olFolderInbox, 2},
    {sfFolderCalendar, true, olAppointmentItem, 3},
    {sfFolderContacts, true, olContactItem, 4},
    {sfFolderTasks, true, olTaskItem, 5},
    {sfFolderJournal, true, olJournalItem, 6},
    {sfFolderNotes, true, olNoteItem, 7},
    {sfFolderDeletedItems, false, olFolderDeletedItems, 8},
    {sfFolderOutbox, false, olFolderOutbox, 9},
    {sfFolderSentMail, false, olFolderSentMail, 10},
    {sfFolderDrafts, false, olFolderDrafts, 11},
    {sfFolderJunk, false, olFolderJunk, 12},
    {sfFolderToDo, false, olFolderToDo, 0},
    {sfFolderRssFeeds, false, olFolderRssFeeds, 13},
}};
static_assert(kMailShowFolders == 0x0BC1);
