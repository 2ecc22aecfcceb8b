// Measures a treatment of N messages over the stand-in, the way the finder
// window treats its checked rows: a batch of rows at a time, each batch's
// messages looked up and handed to the store a list per folder, then the
// plan checked against the stores.
//
//   treat_bench [--rows N] [--treatment delete|soft-delete|copy|move]
//               [--kind KIND] [--call-us US] [--one-by-one | --window]
//
// The profile is one store whose messages lie in two folders, taken
// alternately (the rows of a search across folders); --one-by-one treats
// them through the session's single-message calls instead (the way it was
// done before batches). --window runs the finder window itself: each
// message has a copy in its folder, a search checks one row of each pair,
// and the treatment's command is run on the N checked rows.
// Prints rows, done, seconds, ms_per_message, the MAPI calls per message
// and the store lists (DeleteMessages and CopyMessages calls) the run made.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "mapi/BatchTreatment.h"
#include "mapi/EntryIDText.h"
#include "mapi/sx_MAPI_Session.h"
#include "support/MessagePump.h"
#include "om/OutlookCalls.h"
#include "ui/uMainDlg.h"
#include "standin/StandinControl.h"

namespace {

struct Options {
  unsigned long rows = 10000;
  std::string treatment = "soft-delete", kind = "pst", callMicroseconds = "0";
  bool oneByOne = false, window = false;
};

bool Parse(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--one-by-one" || arg == "--window") {
      (arg == "--window" ? o.window : o.oneByOne) = true;
      continue;
    }
    if (i + 1 >= argc) return false;
    const char* value = argv[++i];
    if (arg == "--rows") o.rows = std::strtoul(value, nullptr, 10);
    else if (arg == "--treatment") o.treatment = value;
    else if (arg == "--kind") o.kind = value;
    else if (arg == "--call-us") o.callMicroseconds = std::to_string(std::strtoul(value, nullptr, 10));
    else return false;
  }
  static const char* const kTreatments[] = {"delete", "soft-delete", "copy", "move"};
  for (const char* t : kTreatments)
    if (o.treatment == t) return o.rows > 0;
  return false;
}

TBatchAction ActionOf(const std::string& treatment) {
  if (treatment == "delete") return TBatchAction::Delete;
  if (treatment == "copy") return TBatchAction::Copy;
  if (treatment == "move") return TBatchAction::Move;
  return TBatchAction::MoveToDeletedItems;
}

// `count` messages, each `copies` times.
std::string Messages(const char* folder, unsigned long count, int copies) {
  std::string all;
  for (unsigned long i = 0; i < count; ++i) {
    const std::string n = std::to_string(i);
    for (int c = 0; c < copies; ++c)
      all += (all.empty() ? "" : ",\n") + std::string("{\"subject\": \"") + folder + " " + n +
             "\", \"senderName\": \"ann\", \"senderEmail\": \"ann@example.com\", \"body\": \"body " + n + "\"}";
  }
  return all;
}

std::string Folder(const char* name, const char* role, const std::string& messages) {
  return std::string("{\"name\": \"") + name + "\", \"class\": \"IPF.Note\", \"role\": \"" + role +
         "\", \"messages\": [" + messages + "], \"folders\": []}";
}

// Inbox and Sent Items of (rows + 1) / 2 messages each (each twice for the
// window), an empty Deleted Items and Target.
std::string WriteProfile(const Options& o) {
  const std::string file = (std::filesystem::temp_directory_path() / "treat-bench-profile.json").string();
  const unsigned long half = (o.rows + 1) / 2;
  const int copies = o.window ? 2 : 1;
  std::ofstream out(file, std::ios::trunc);
  out << R"({"stores": [{"name": "Mailbox", "uid": "0123456789ABCDEF0123456789ABCDEF", "default": true, "kind": ")"
      << o.kind << R"(", "callMicroseconds": )" << o.callMicroseconds
      << R"(, "subtree": {"name": "Top of Mailbox", "folders": [)"
      << Folder("Inbox", "inbox", Messages("Inbox", half, copies)) << ",\n"
      << Folder("Sent Items", "sent", Messages("Sent", half, copies)) << ",\n"
      << Folder("Deleted Items", "deleted", "") << ",\n"
      << Folder("Target", "", "") << "]}}]}\n";
  return file;
}

std::vector<std::string> MessageIds(TsxMAPI_Folder& folder) {
  std::vector<std::string> ids;
  folder.ForEachMessageRow([&ids](const TMessageRow& row) {
    ids.push_back(EntryIDToText(reinterpret_cast<const unsigned char*>(row.entryID.lpb), row.entryID.cb));
    return true;
  });
  return ids;
}

// The rows: the two folders' messages taken alternately.
std::vector<std::string> Rows(TsxMAPI_Session& session, unsigned long count) {
  const std::vector<std::string> inbox = MessageIds(*session.GetFolder(sxftInbox));
  const std::vector<std::string> sent = MessageIds(*session.GetFolder(sxftSent));
  std::vector<std::string> rows;
  for (std::size_t i = 0; rows.size() < count && (i < inbox.size() || i < sent.size()); ++i) {
    if (i < inbox.size()) rows.push_back(inbox[i]);
    if (i < sent.size() && rows.size() < count) rows.push_back(sent[i]);
  }
  return rows;
}

// The window's walk without the window.
unsigned long TreatInBatches(TsxMAPI_Session& session, TBatchAction action, const std::string& target,
                             const std::vector<std::string>& rows, std::size_t& checks) {
  TBatchTreatment batch(session, action, target);
  std::vector<TBatchItem> items(rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) items[i].entryID = rows[i];
  for (std::size_t at = 0; at < items.size(); at += TBatchTreatment::kBatchSize) {
    const std::span<TBatchItem> inFlight(items.data() + at, std::min(TBatchTreatment::kBatchSize, items.size() - at));
    batch.Locate(inFlight);
    batch.Treat(inFlight);
  }
  checks = batch.Verify(items).size();
  unsigned long done = 0;
  for (const TBatchItem& item : items) done += item.done ? 1 : 0;
  return done;
}

unsigned long TreatOneByOne(TsxMAPI_Session& session, TBatchAction action, const std::string& target,
                            const std::vector<std::string>& rows) {
  unsigned long done = 0;
  for (const std::string& id : rows) {
    try {
      switch (action) {
        case TBatchAction::Delete: session.DelMsg(id, false); break;
        case TBatchAction::MoveToDeletedItems: session.DelMsg(id, true); break;
        case TBatchAction::Copy: session.MoveMsg(id, target, 0); break;
        case TBatchAction::Move: session.MoveMsg(id, target, MESSAGE_MOVE); break;
      }
      ++done;
    } catch (const std::exception& e) {
      std::fprintf(stderr, "not treated: %s\n", e.what());
    }
  }
  return done;
}

std::string TargetId(TsxMAPI_Session& session) {
  for (const TChildFolder& child : session.GetFolder(sxftRoot)->SubFolders())
    if (child.name == "Target")
      return EntryIDToText(reinterpret_cast<const unsigned char*>(child.entryID.data()), child.entryID.size());
  return {};
}

// Hands the window its messages until `done`, or false after two minutes.
bool PumpUntil(const std::function<bool()>& done) { return PumpMessagesUntil(done, std::chrono::minutes(2)); }

struct TWindowRun {
  std::size_t rows = 0;
  unsigned long done = 0;
  double seconds = 0;
  std::string summary;
};

// The finder window over the profile: a search, then the treatment's command
// on its checked rows; the target of a copy or move is picked by the stand-in.
bool RunWindow(const Options& o, IDispatch* application, const std::function<void()>& beforeTreatment,
               TWindowRun& run) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "treat-bench";
  std::filesystem::create_directories(dir);
  TMainDlgSetup setup;
  setup.strLangFile = (dir / "English.lng").string();
  setup.strDBFile = (dir / "temp.dat").string();
  setup.strSkinFile = (dir / "office2007.skn").string();
  setup.ShowMessage = [](HWND, const std::string&, const std::string&, UINT) { return IDYES; };
  TMainDlg dlg(setup);
  if (!dlg.Create()) return false;
  dlg.SetIDspApp(om::AsApplication(application).Get());
  dlg.Show();
  dlg.btnSearchClick();
  if (!PumpUntil([&] { return dlg.State() == TSearchState::Idle; })) return false;
  for (const auto& root : dlg.Emails().Roots())
    for (const auto& row : root->Children) run.rows += row->Checked ? 1 : 0;
  beforeTreatment();
  const auto t0 = std::chrono::steady_clock::now();
  switch (ActionOf(o.treatment)) {
    case TBatchAction::Delete: dlg.mniDeletePermanentlyClick(); break;
    case TBatchAction::MoveToDeletedItems: dlg.mniDeleteClick(); break;
    case TBatchAction::Copy: dlg.mniCopytoFolderClick(); break;
    case TBatchAction::Move: dlg.mniMovetoFolderClick(); break;
  }
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  for (const auto& root : dlg.Emails().Roots())
    for (const auto& row : root->Children) run.done += row->Data.bDeleted ? 1 : 0;
  run.summary = dlg.StatusText();
  dlg.Close();
  std::filesystem::remove_all(dir);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!Parse(argc, argv, options)) {
    std::fprintf(stderr,
                 "usage: treat_bench [--rows N] [--treatment delete|soft-delete|copy|move] [--kind KIND] "
                 "[--call-us US] [--one-by-one]\n");
    return 2;
  }
  const std::string profile = WriteProfile(options);
  _putenv_s(STANDIN_PROFILE_ENV, profile.c_str());
  const HMODULE provider = LoadLibraryA(STANDIN_DLL_NAME);
  const auto control = [provider](const char* name) {
    return provider ? reinterpret_cast<void (*)()>(GetProcAddress(provider, name)) : nullptr;
  };
  const auto callCount = reinterpret_cast<ULONG(WINAPI*)()>(control("StandinCallCount"));
  const auto callCountOf = reinterpret_cast<ULONG(WINAPI*)(const char*)>(control("StandinCallCountOf"));
  const auto resetCalls = reinterpret_cast<void(WINAPI*)()>(control("StandinResetCalls"));
  if (options.window) {
    const auto createApplication = reinterpret_cast<HRESULT(WINAPI*)(IDispatch**)>(control("StandinCreateApplication"));
    const auto pickFolder = reinterpret_cast<HRESULT(WINAPI*)(const char*)>(control("StandinScriptPickFolder"));
    TComPtr<IDispatch> application;
    if (!createApplication || FAILED(createApplication(&application)) || !pickFolder) {
      std::fprintf(stderr, "treat_bench: the stand-in's Outlook cannot be made\n");
      return 1;
    }
    std::string target;
    {
      TsxMAPI_Session session;
      session.Logon();
      target = TargetId(session);
    }
    pickFolder(target.c_str());
    TWindowRun run;
    const bool ran = RunWindow(options, application.Get(), [&] {
      if (resetCalls) resetCalls();
    }, run);
    if (!ran) {
      std::fprintf(stderr, "treat_bench: the window's search did not end\n");
      return 1;
    }
    const double n = static_cast<double>(run.rows);
    std::printf("rows: %zu\n", run.rows);
    std::printf("done: %lu\n", run.done);
    std::printf("summary: %s\n", run.summary.c_str());
    std::printf("seconds: %.3f\n", run.seconds);
    std::printf("ms_per_message: %.3f\n", n ? 1000.0 * run.seconds / n : 0.0);
    if (callCount) std::printf("mapi_calls_per_message: %.2f\n", n ? callCount() / n : 0.0);
    if (callCountOf)
      std::printf("store_lists: %lu\n",
                  static_cast<unsigned long>(callCountOf("DeleteMessages") + callCountOf("CopyMessages")));
    std::filesystem::remove(profile);
    return run.rows > 0 && run.done == run.rows ? 0 : 1;
  }
  try {
    TsxMAPI_Session session;
    session.Logon();
    const std::vector<std::string> rows = Rows(session, options.rows);
    const TBatchAction action = ActionOf(options.treatment);
    const std::string target = TargetId(session);
    if (resetCalls) resetCalls();
    std::size_t checks = 0;
    const auto t0 = std::chrono::steady_clock::now();
    const unsigned long done = options.oneByOne ? TreatOneByOne(session, action, target, rows)
                                                : TreatInBatches(session, action, target, rows, checks);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    const double n = static_cast<double>(rows.size());
    std::printf("rows: %zu\n", rows.size());
    std::printf("done: %lu\n", done);
    std::printf("folders_not_as_planned: %zu\n", checks);
    std::printf("seconds: %.3f\n", seconds);
    std::printf("ms_per_message: %.3f\n", 1000.0 * seconds / n);
    if (callCount) std::printf("mapi_calls_per_message: %.2f\n", callCount() / n);
    if (callCountOf)
      std::printf("store_lists: %lu\n",
                  static_cast<unsigned long>(callCountOf("DeleteMessages") + callCountOf("CopyMessages")));
    std::filesystem::remove(profile);
    return done == rows.size() && checks == 0 ? 0 : 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "treat_bench: %s\n", e.what());
    return 1;
  }
}
