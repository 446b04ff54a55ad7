#include <gtest/gtest.h>

#include "fake_platform.h"
#include "support/RXSAMMLUNG.h"

namespace {

using namespace RXSAMMLUNG;
using fake::StoredValue;
using platform::RegistryRoot;

constexpr auto User = RegistryRoot::CurrentUser;
constexpr std::string_view Store = "Software\\Norvane Software\\Velumor";

TEST(AppSetting, AbsentValueOrKeyGivesTheDefaultAndSavingReplaces) {
  fake::FakePlatform os;
  EXPECT_EQ(GetAppSetting(os, u"_SID1", u"vorgabe"), u"vorgabe");  // first run: no application key
  SaveAppSetting(os, u"_SID2", u"0.9.1");
  EXPECT_EQ(os.registry.Get(User, Store, "_SID2"), (StoredValue{platform::RegSz, std::string("0.9.1\0", 6)}));
  EXPECT_EQ(GetAppSetting(os, u"_SID1", u"vorgabe"), u"vorgabe");
  SaveAppSetting(os, u"_SID2", u"1.3.0");
  EXPECT_EQ(GetAppSetting(os, u"_SID2"), u"1.3.0");
  // A stored empty text is a value, not an absence.
  os.registry.PutText(User, Store, "_SID1", u"");
  EXPECT_EQ(GetAppSetting(os, u"_SID1", u"vorgabe"), u"");
  EXPECT_EQ(os.registry.handles.size(), 0u);
}

}  // namespace
