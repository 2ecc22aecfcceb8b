// The interface and class identifiers against their published texts.
#include <gtest/gtest.h>

#include <string>

#include "om/OfficeIntf.h"
#include "om/OutlookIntf.h"

namespace {

std::wstring Text(const GUID& id) {
  wchar_t text[40] = {};
  StringFromGUID2(id, text, 40);
  return text;
}

TEST(Identifiers, MatchThePublishedTexts) {
  const struct {
    const GUID* id;
    const wchar_t* text;
  } rows[] = {
      {&IID__Application, L"{00063001-0000-0000-C000-000000000046}"},
      {&IID__NameSpace, L"{00063002-0000-0000-C000-000000000046}"},
      {&IID__Explorer, L"{00063003-0000-0000-C000-000000000046}"},
      {&IID_MAPIFolder, L"{00063006-0000-0000-C000-000000000046}"},
      {&IID__Folders, L"{00063040-0000-0000-C000-000000000046}"},
      {&CLSID_OutlookApplication, L"{0006F03A-0000-0000-C000-000000000046}"},
      {&IID__IMsoDispObj, L"{000C0300-0000-0000-C000-000000000046}"},
      {&IID__IMsoOleAccDispObj, L"{000C0301-0000-0000-C000-000000000046}"},
      {&IID__CommandBars, L"{000C0302-0000-0000-C000-000000000046}"},
      {&IID_CommandBar, L"{000C0304-0000-0000-C000-000000000046}"},
      {&IID_CommandBarControls, L"{000C0306-0000-0000-C000-000000000046}"},
      {&IID_CommandBarControl, L"{000C0308-0000-0000-C000-000000000046}"},
      {&IID__CommandBarButton, L"{000C030E-0000-0000-C000-000000000046}"},
      {&IID__CommandBarButtonEvents, L"{000C0351-0000-0000-C000-000000000046}"},
      {&IID_IRibbonControl, L"{000C0395-0000-0000-C000-000000000046}"},
      {&IID_IRibbonExtensibility, L"{000C0396-0000-0000-C000-000000000046}"},
      {&CLSID_CommandBarButton, L"{55F88891-7708-11D1-ACEB-006008961DA5}"},
      {&CLSID_CommandBars, L"{55F88893-7708-11D1-ACEB-006008961DA5}"},
  };
  for (const auto& row : rows) EXPECT_EQ(Text(*row.id), row.text);
}

}  // namespace
