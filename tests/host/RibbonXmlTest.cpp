// The host's reading of ribbon XML: what it takes from well-formed
// customUI, and what it refuses.
#include <gtest/gtest.h>

#include "standin/host/RibbonXml.h"

namespace {

using host::ParseRibbonXml;
using host::RibbonXml;

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

TEST(RibbonXmlTest, ReadsGroupsAndButtonsOfEveryTab) {
  const wchar_t* xml =
      L"<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
      L"<!-- two tabs -->\n"
      L"<customUI xmlns='http://schemas.microsoft.com/office/2009/07/customui' onLoad=\"Loaded\">\n"
      L"  <ribbon startFromScratch=\"false\">\n"
      L"    <tabs>\n"
      L"      <tab idMso=\"TabMail\">\n"
      L"        <group id=\"g1\" label=\"Tom &amp; Jerry &lt;&#65;&#x42;&gt;\">\n"
      L"          <button id=\"b1\" label=\"Big\" size=\"large\" onAction=\"Go\" getImage=\"Img\" tag='t&apos;1'/>\n"
      L"          <separator id=\"s1\"/>\n"
      L"          <button id=\"b2\" label=\"Small\" imageMso=\"HappyFace\" screentip=\"Say &quot;hi&quot;\"></button>\n"
      L"        </group>\n"
      L"      </tab>\n"
      L"      <tab id=\"own\" label=\"Mine\"><group id=\"g2\" label=\"Empty\"/></tab>\n"
      L"    </tabs>\n"
      L"  </ribbon>\n"
      L"  <contextMenus><contextMenu idMso=\"ContextMenuMailItem\"/></contextMenus>\n"
      L"</customUI>\n";
  RibbonXml ribbon;
  std::wstring error;
  ASSERT_TRUE(ParseRibbonXml(xml, &ribbon, &error)) << Narrow(error);
  EXPECT_EQ(ribbon.nameSpace, host::kCustomUi2009);
  ASSERT_EQ(ribbon.groups.size(), 2u);

  const host::RibbonGroupXml& first = ribbon.groups[0];
  EXPECT_EQ(first.tabIdMso, L"TabMail");
  EXPECT_EQ(first.id, L"g1");
  EXPECT_EQ(first.label, L"Tom & Jerry <AB>");
  ASSERT_EQ(first.buttons.size(), 2u);
  const host::RibbonButtonXml& big = first.buttons[0];
  EXPECT_EQ(big.id, L"b1");
  EXPECT_EQ(big.label, L"Big");
  EXPECT_EQ(big.size, L"large");
  EXPECT_EQ(big.onAction, L"Go");
  EXPECT_EQ(big.getImage, L"Img");
  EXPECT_EQ(big.tag, L"t'1");
  const host::RibbonButtonXml& small = first.buttons[1];
  EXPECT_EQ(small.size, L"");
  EXPECT_EQ(small.imageMso, L"HappyFace");
  EXPECT_EQ(small.screentip, L"Say \"hi\"");
  EXPECT_EQ(small.onAction, L"");

  const host::RibbonGroupXml& second = ribbon.groups[1];
  EXPECT_EQ(second.tabIdMso, L"");
  EXPECT_EQ(second.tabId, L"own");
  EXPECT_EQ(second.tabLabel, L"Mine");
  EXPECT_TRUE(second.buttons.empty());
}

TEST(RibbonXmlTest, TheOffice2007NamespaceAndARibbonWithoutTabsAreRead) {
  RibbonXml ribbon;
  std::wstring error;
  ASSERT_TRUE(ParseRibbonXml(L"<customUI xmlns=\"http://schemas.microsoft.com/office/2006/01/customui\">"
                             L"<ribbon/></customUI>",
                             &ribbon, &error))
      << Narrow(error);
  EXPECT_EQ(ribbon.nameSpace, host::kCustomUi2006);
  EXPECT_TRUE(ribbon.groups.empty());
}

TEST(RibbonXmlTest, RefusesWhatIsNotWellFormedOrNotCustomUi) {
  const std::wstring ns = L" xmlns=\"http://schemas.microsoft.com/office/2009/07/customui\"";
  const struct {
    std::wstring xml;
    const char* expected;  // in the reason
  } cases[] = {
      {L"", "no root element"},
      {L"<customUI" + ns + L"><ribbon></customUI>", "mismatched end tag"},
      {L"<customUI" + ns + L"><ribbon>", "unclosed element"},
      {L"<customUI" + ns + L">text</customUI>", "text where only elements may be"},
      {L"<customUI" + ns + L" a=\"1\" a=\"2\"/>", "a repeated attribute"},
      {L"<customUI" + ns + L" a=1/>", "a quoted value expected"},
      {L"<customUI" + ns + L" a=\"&nbsp;\"/>", "unknown entity"},
      {L"<customUI" + ns + L" a=\"&#0;\"/>", "bad character reference"},
      {L"<customUI" + ns + L"/><extra/>", "text after the root element"},
      {L"<customUI" + ns + L"><!-- open", "unclosed comment"},
      {L"<ribbon" + ns + L"/>", "not customUI"},
      {L"<customUI xmlns=\"urn:other\"/>", "unknown namespace"},
      {L"<customUI/>", "unknown namespace"},
  };
  for (const auto& c : cases) {
    RibbonXml ribbon;
    std::wstring error;
    EXPECT_FALSE(ParseRibbonXml(c.xml, &ribbon, &error)) << Narrow(c.xml);
    EXPECT_NE(Narrow(error).find(c.expected), std::string::npos) << Narrow(c.xml) << ": " << Narrow(error);
  }
}

}  // namespace
