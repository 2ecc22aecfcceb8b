// The worker of a collection run, started once; its body runs the session's
// DoGetAllMessage and ends by handing OnTerminate over to the owner's
// thread. The session keeps it and joins it, so a session is never freed
// under a running worker.
#pragma once

#include <thread>

class TsxMAPI_Session;

class TGetAllMsgThread {
 public:
  explicit TGetAllMsgThread(TsxMAPI_Session* session) : FSession(session) {}
  ~TGetAllMsgThread() { WaitFor(); }
  TGetAllMsgThread(const TGetAllMsgThread&) = delete;
  TGetAllMsgThread& operator=(const TGetAllMsgThread&) = delete;

  void Start() { FThread = std::thread([this] { Execute(); }); }
  void WaitFor() {
    if (FThread.joinable()) FThread.join();
  }

 private:
  void Execute();

  TsxMAPI_Session* FSession;
  std::thread FThread;
};
