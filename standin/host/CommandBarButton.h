// A command-bar button as CommandBarControls.Add makes it: _CommandBarButton
// with Style, Caption, TooltipText and Tag, and a connection-point container
// for _CommandBarButtonEvents.
#pragma once

#include <ocidl.h>

#include "standin/host/BarRecords.h"
#include "standin/host/ButtonEvents.h"
#include "standin/host/Defaults.h"
#include "standin/host/HostObject.h"
#include "support/ComPtr.h"

namespace host {

class HostButton final : public HostObject<CommandBarButtonDefaults>, public IConnectionPointContainer {
 public:
  HostButton(ButtonRecord record, Notifier notifier);
  ~HostButton() override;

  const ButtonRecord& Record() const { return record_; }
  // Fires Click through the advised sinks; the number of sinks called.
  int Click();
  // Releases the advised sinks (the host closing).
  void Close();

  STDMETHODIMP QueryInterface(REFIID riid, void** out) override { return HostObject::QueryInterface(riid, out); }
  STDMETHODIMP_(ULONG) AddRef() override { return HostObject::AddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return HostObject::Release(); }

  // CommandBarControl
  HRESULT STDMETHODCALLTYPE get_Caption(BSTR* caption) override;
  HRESULT STDMETHODCALLTYPE put_Caption(BSTR caption) override;
  HRESULT STDMETHODCALLTYPE get_Tag(BSTR* tag) override;
  HRESULT STDMETHODCALLTYPE put_Tag(BSTR tag) override;
  HRESULT STDMETHODCALLTYPE get_TooltipText(BSTR* text) override;
  HRESULT STDMETHODCALLTYPE put_TooltipText(BSTR text) override;
  HRESULT STDMETHODCALLTYPE get_Id(int* id) override;
  HRESULT STDMETHODCALLTYPE get_Type(MsoControlType* type) override;
  HRESULT STDMETHODCALLTYPE get_Parameter(BSTR* parameter) override;
  // _CommandBarButton
  HRESULT STDMETHODCALLTYPE get_Style(MsoButtonStyle* style) override;
  HRESULT STDMETHODCALLTYPE put_Style(MsoButtonStyle style) override;
  // IConnectionPointContainer
  STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** points) override;
  STDMETHODIMP FindConnectionPoint(REFIID riid, IConnectionPoint** point) override;

 protected:
  void* Find(REFIID riid) override;

 private:
  void Changed(const char* member);
  // Sets a text property and notes it as `member`.
  HRESULT PutText(std::wstring ButtonRecord::*field, BSTR text, const char* member);

  ButtonRecord record_;
  Notifier notifier_;
  TComPtr<ButtonEvents> events_;
};

}  // namespace host
