// The command line of QuopOutlook.exe.
#include <gtest/gtest.h>

#include "standin/host/HostOptions.h"

using host::HostOptions;
using host::ParseHostOptions;

TEST(HostOptionsTest, ReadsEverySwitch) {
  HostOptions options;
  std::wstring error;
  ASSERT_TRUE(ParseHostOptions({L"--profile", L"/work/p.json", L"--save-profile", L"C:\\out.json", L"--no-explorer",
                                L"--no-ribbon", L"--hidden", L"--refuse-duplicate-bars", L"--exit-after-ms", L"1500",
                                L"--screenshot-ready", L"--addin", L"A.One", L"--addin", L"B.Two"},
                               &options, &error))
      << std::string(error.begin(), error.end());
  EXPECT_EQ(options.profile, L"Z:/work/p.json");
  EXPECT_EQ(options.saveProfile, L"C:\\out.json");
  EXPECT_TRUE(options.noExplorer);
  EXPECT_TRUE(options.noRibbon);
  EXPECT_FALSE(options.showWindow);
  EXPECT_TRUE(options.refuseDuplicateBars);
  EXPECT_EQ(options.exitAfterMs, 1500u);
  EXPECT_TRUE(options.printReady);
  EXPECT_EQ(options.onlyAddIns, (std::vector<std::wstring>{L"A.One", L"B.Two"}));
}

TEST(HostOptionsTest, DefaultsShowTheWindowWithAnExplorerAndNoTimer) {
  HostOptions options;
  std::wstring error;
  ASSERT_TRUE(ParseHostOptions({}, &options, &error));
  EXPECT_TRUE(options.showWindow);
  EXPECT_FALSE(options.noExplorer);
  EXPECT_FALSE(options.noRibbon);
  EXPECT_EQ(options.exitAfterMs, 0u);
  EXPECT_TRUE(options.profile.empty());
}

TEST(HostOptionsTest, RefusesBadLines) {
  for (const std::vector<std::wstring>& args : std::vector<std::vector<std::wstring>>{
           {L"--profile"}, {L"--exit-after-ms", L"soon"}, {L"--exit-after-ms", L""}, {L"--frobnicate"}}) {
    HostOptions options;
    std::wstring error;
    EXPECT_FALSE(ParseHostOptions(args, &options, &error)) << std::string(args[0].begin(), args[0].end());
    EXPECT_FALSE(error.empty());
  }
}
