// The host's ribbon: the groups and buttons the add-ins' ribbon XML adds to
// the explorer, the images their getImage callbacks give, and the
// onAction calls a press makes. One IRibbonControl per button is handed to
// the callbacks, with the explorer as its Context.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <string>
#include <vector>

#include "om/OfficeIntf.h"
#include "standin/host/RibbonXml.h"
#include "support/ComPtr.h"

namespace host {

struct RibbonButtonRecord {
  RibbonButtonXml xml;
  HRESULT imageResult = S_FALSE;  // of getImage; S_FALSE: not asked (no callback)
  SHORT pictureType = PICTYPE_NONE;  // of the picture it gave
  int clicks = 0;
  HRESULT lastAction = S_FALSE;  // of the last onAction; S_FALSE: none yet
};

struct RibbonGroupRecord {
  std::wstring progId;  // the add-in's
  RibbonGroupXml xml;   // its buttons are in `buttons`
  std::vector<RibbonButtonRecord> buttons;
};

class THostRibbon {
 public:
  // Adds the groups of one add-in's XML; false with the reason for XML the
  // host cannot read. Images are asked for at once.
  bool Add(const std::wstring& progId, IDispatch* callbacks, const std::wstring& xml, IDispatch* context,
           std::wstring* error);
  // The add-in's groups go (a disconnection).
  void Remove(const std::wstring& progId);
  void Clear() { groups_.clear(); }

  std::vector<RibbonGroupRecord> Records() const;
  // The button's icon or bitmap handle (owned by its picture); null for none.
  HANDLE Image(size_t group, size_t button, SHORT* type) const;
  // onAction of that button; S_FALSE for a button without one.
  HRESULT Press(size_t group, size_t button);

 private:
  struct Button {
    RibbonButtonRecord record;
    TComPtr<IRibbonControl> control;
    TComPtr<IPicture> picture;
  };
  struct Group {
    std::wstring progId;
    TComPtr<IDispatch> callbacks;
    RibbonGroupXml xml;
    std::vector<Button> buttons;
  };
  void FetchImage(Group& group, Button& button);

  std::vector<Group> groups_;
};

}  // namespace host
