// A command bar as CommandBars.Add makes it, with its control collection,
// which makes caption buttons.
#pragma once

#include <vector>

#include "standin/host/BarRecords.h"
#include "standin/host/CommandBarButton.h"
#include "standin/host/Defaults.h"
#include "standin/host/HostObject.h"
#include "support/ComPtr.h"

namespace host {

class HostControls final : public HostObject<CommandBarControlsDefaults> {
 public:
  explicit HostControls(Notifier notifier) : notifier_(std::move(notifier)) {}
  const std::vector<TComPtr<HostButton>>& Buttons() const { return buttons_; }
  void Close();

  // Only msoControlButton (the default type) is made; Before counts from 1
  // (omitted: at the end).
  HRESULT STDMETHODCALLTYPE Add(VARIANT Type, VARIANT Id, VARIANT Parameter, VARIANT Before, VARIANT Temporary,
                                CommandBarControl** control) override;
  HRESULT STDMETHODCALLTYPE get_Count(int* count) override;
  HRESULT STDMETHODCALLTYPE get_Item(VARIANT index, CommandBarControl** control) override;

 protected:
  void* Find(REFIID riid) override;

 private:
  Notifier notifier_;
  std::vector<TComPtr<HostButton>> buttons_;
};

class HostBar final : public HostObject<CommandBarDefaults> {
 public:
  HostBar(BarRecord record, Notifier notifier);
  // The record with the buttons as they are now.
  BarRecord Snapshot() const;
  const HostControls& Controls() const { return *controls_.Get(); }
  void Close() { controls_->Close(); }

  HRESULT STDMETHODCALLTYPE get_Controls(CommandBarControls** controls) override;
  HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) override;
  HRESULT STDMETHODCALLTYPE get_Position(MsoBarPosition* position) override;
  HRESULT STDMETHODCALLTYPE get_Visible(VARIANT_BOOL* visible) override;
  HRESULT STDMETHODCALLTYPE put_Visible(VARIANT_BOOL visible) override;

 protected:
  void* Find(REFIID riid) override;

 private:
  BarRecord record_;
  Notifier notifier_;
  TComPtr<HostControls> controls_;
};

}  // namespace host
