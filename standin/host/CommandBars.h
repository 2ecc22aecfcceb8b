// The command-bar collection of the host's explorer: every bar an add-in
// added in this run, in order, drawn in the window's bar area.
#pragma once

#include <vector>

#include "standin/host/CommandBar.h"

namespace host {

class HostCommandBars final : public HostObject<CommandBarsDefaults> {
 public:
  // refuseDuplicateNames: Add fails for a name already taken, as Office
  // does for a bar left from an earlier connection.
  HostCommandBars(Notifier notifier, bool refuseDuplicateNames)
      : notifier_(std::move(notifier)), refuseDuplicateNames_(refuseDuplicateNames) {}
  const std::vector<TComPtr<HostBar>>& Bars() const { return bars_; }
  // Releases every sink advised on the buttons.
  void Close();

  // Name (default "Custom N"), Position (default 4, floating), MenuBar and
  // Temporary (default false); the new bar is hidden.
  HRESULT STDMETHODCALLTYPE Add(VARIANT Name, VARIANT Position, VARIANT MenuBar, VARIANT Temporary,
                                CommandBar** bar) override;

 protected:
  void* Find(REFIID riid) override;

 private:
  bool NameTaken(const std::wstring& name) const;

  Notifier notifier_;
  bool refuseDuplicateNames_;
  std::vector<TComPtr<HostBar>> bars_;
};

}  // namespace host
