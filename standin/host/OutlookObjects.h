// The host's own Outlook objects: the Application handed to add-ins (the
// stand-in's application with the host's explorer), the explorer with the
// host's command bars, and the add-in instance object of OnConnection.
#pragma once

#include <string>

#include "om/OutlookIntf.h"
#include "support/ComPtr.h"

namespace host {

class HostCommandBars;

// Every member is the stand-in's, but ActiveExplorer, which gives
// `explorer` (null: S_OK and no explorer, an Outlook without a main
// window), Application, which gives this object, and Version, which gives
// `version`.
TComPtr<_Application> NewHostApplication(TComPtr<_Application> standin, TComPtr<_Explorer> explorer,
                                         std::wstring version);
// CommandBars gives `bars`; every other member answers E_NOTIMPL.
TComPtr<_Explorer> NewHostExplorer(HostCommandBars* bars);
// A plain IDispatch standing for the add-in's entry in the host.
TComPtr<IDispatch> NewAddInInstance(const std::wstring& progId);

}  // namespace host
