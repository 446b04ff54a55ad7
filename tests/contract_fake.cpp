// The contract on the in-memory Windows, and what only the fake can stage.
#include <gtest/gtest.h>

#include "fake_platform.h"
#include "platform_contract.h"
#include "support/RXSAMMLUNG.h"

namespace {

using fake::Bytes;
using fake::Utf8;
constexpr auto User = platform::RegistryRoot::CurrentUser;

class FakeWindows : public contract::Windows {
 public:
  platform::Platform& os() override { return fake; }
  const std::vector<std::u16string>& Messages() override {
    messages.clear();
    for (const auto& m : fake.messages) messages.push_back(m.text);
    return messages;
  }
  std::u16string Key() override { return u"Software\\Kontrakt"; }
  std::u16string Folder() override { return u"C:\\Users\\Łukasz\\Главное меню\\Autostart"; }
  std::optional<contract::Stored> Get(std::u16string_view key, std::u16string_view name) override {
    const auto value = fake.registry.Get(User, Bytes(key), Bytes(name));
    if (!value) return std::nullopt;
    return contract::Stored{value->type, value->data};
  }
  void Put(std::u16string_view key, std::u16string_view name, const contract::Stored& value) override {
    fake.registry.Put(User, Bytes(key), Bytes(name), value.type, value.bytes);
  }
  void KeepUnchanged(std::u16string_view, std::u16string_view) override {}
  void AddFile(std::u16string_view name, std::uint32_t attributes) override {
    fake.files.AddFile(Utf8(Folder() + u"\\" + std::u16string(name)), attributes);
  }
  void AddFolder(std::u16string_view name) override {
    fake.files.AddFile(Utf8(Folder() + u"\\" + std::u16string(name)), platform::AttributeDirectory);
  }
  bool Present(std::u16string_view path) override { return fake.files.Find(Utf8(path)) != nullptr; }
  std::u16string NoDrive() override { return u"E:\\"; }
  std::u16string ProgramFile() override { return fake.files.programFolder + u"\\" + fake.files.programName + u".exe"; }

  fake::FakePlatform fake;
  std::vector<std::u16string> messages;
};

std::unique_ptr<contract::Windows> MakeFake() { return std::make_unique<FakeWindows>(); }

INSTANTIATE_TEST_SUITE_P(Fake, Contract, ::testing::Values(&MakeFake));

// A value that grows between the size question and the read.
class GrowingValuePlatform : public fake::FakePlatform {
 public:
  long QueryMaxValueDataSize(platform::RegistryHandle, std::uint32_t& size) override {
    size = 2;
    return platform::RegistrySuccess;
  }
};

TEST(RegistryRead, DataLargerThanTheBufferGivesTheEmptyTextNotAnOverrun) {
  GrowingValuePlatform os;
  os.registry.PutText(User, "Software\\Test", "Lang", u"viel länger als zwei Bytes");
  EXPECT_EQ(RXSAMMLUNG::RegGetString(os, User, u"Software\\Test", u"Lang"), u"");
  EXPECT_EQ(os.registry.handles.size(), 0u);
}

}  // namespace
