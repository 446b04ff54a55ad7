#include <gtest/gtest.h>

#include "fake_platform.h"
#include "support/RXSAMMLUNG.h"

namespace {

using namespace RXSAMMLUNG;
using fake::Bytes;
using fake::FakeRegistry;
using fake::StoredValue;
using platform::RegistryRoot;

constexpr auto User = RegistryRoot::CurrentUser;
constexpr std::string_view Path = "Software\\Test";

class RegistryAccess : public ::testing::Test {
 protected:
  // No handle may outlive a call, whatever the call met.
  void TearDown() override { EXPECT_EQ(os.registry.OpenHandles(), 0u); }

  fake::FakePlatform os;
};

TEST_F(RegistryAccess, PresenceCountsAlsoForEmptyDataButNotForMissingValueOrKey) {
  os.registry.Put(User, Path, "Leer", platform::RegSz, "");
  EXPECT_TRUE(RegValueExists(os, User, u"Software\\Test", u"Leer"));
  EXPECT_TRUE(RegValueExists(os, User, u"SOFTWARE\\TEST", u"LEER"));  // names without regard to case
  EXPECT_FALSE(RegValueExists(os, User, u"Software\\Test", u"Fehlt"));
  EXPECT_FALSE(RegValueExists(os, User, u"Software\\Fehlt", u"Leer"));
  EXPECT_FALSE(RegValueExists(os, RegistryRoot::LocalMachine, u"Software\\Test", u"Leer"));
}

TEST_F(RegistryAccess, StringTypesLoseOnlyTheirTerminatingZero) {
  os.registry.PutText(User, Path, "Startup", u"C:\\Dokumente\\Startmenü");
  os.registry.Put(User, Path, "Erweitert", platform::RegExpandSz, std::string("%TEMP%\\x\0", 9));
  os.registry.Put(User, Path, "Liste", platform::RegMultiSz, std::string("eins\0zwei\0\0", 11));
  os.registry.Put(User, Path, "LeerMitNull", platform::RegSz, std::string(1, '\0'));
  EXPECT_EQ(RegGetString(os, User, u"Software\\Test", u"Startup"), u"C:\\Dokumente\\Startmenü");
  EXPECT_EQ(RegGetString(os, User, u"Software\\Test", u"Erweitert"), u"%TEMP%\\x");  // not expanded
  EXPECT_EQ(RegGetString(os, User, u"Software\\Test", u"Liste"), std::u16string(u"eins\0zwei\0", 10));
  EXPECT_EQ(RegGetString(os, User, u"Software\\Test", u"LeerMitNull"), u"");
}

TEST_F(RegistryAccess, AStringStoredWithoutZeroKeepsItsLastCharacter) {
  os.registry.Put(User, Path, "OhneNull", platform::RegSz, "C:\\Start");
  EXPECT_EQ(RegGetString(os, User, u"Software\\Test", u"OhneNull"), u"C:\\Start");
}

TEST_F(RegistryAccess, OtherTypesComeBackOneCharacterPerByte) {
  os.registry.Put(User, Path, "Zahl", platform::RegDword, std::string("\x41\x00\xE4\x00", 4));
  os.registry.Put(User, Path, "Roh", platform::RegBinary, std::string("\x01\x00", 2));
  EXPECT_EQ(RegGetString(os, User, u"Software\\Test", u"Zahl"), std::u16string(u"A\0ä\0", 4));
  EXPECT_EQ(RegGetString(os, User, u"Software\\Test", u"Roh"), std::u16string(u"\x01\0", 2));
}

TEST_F(RegistryAccess, FailuresReadAsTheEmptyText) {
  os.registry.PutText(User, Path, "Wert", u"x");
  EXPECT_EQ(RegGetString(os, User, u"Software\\Test", u"Fehlt"), u"");
  EXPECT_EQ(RegGetString(os, User, u"Software\\Fehlt", u"Wert"), u"");
  os.registry.Protect(User, Path, FakeRegistry::Protection::NoAccess);
  EXPECT_EQ(RegGetString(os, User, u"Software\\Test", u"Wert"), u"");
  EXPECT_FALSE(RegValueExists(os, User, u"Software\\Test", u"Wert"));
}

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
  os.registry.PutText(User, Path, "Lang", u"viel länger als zwei Bytes");
  EXPECT_EQ(RegGetString(os, User, u"Software\\Test", u"Lang"), u"");
  EXPECT_EQ(os.registry.OpenHandles(), 0u);
}

TEST_F(RegistryAccess, WritingCreatesThePathAndCountsTheZeroOfStringTypesOnly) {
  RegPutValue(os, User, u"Software\\Neu\\Tiefer", u"Text", u"Käse", platform::RegSz);
  RegPutValue(os, User, u"Software\\Neu\\Tiefer", u"Liste", std::u16string(u"a\0b\0", 4), platform::RegMultiSz);
  RegPutValue(os, User, u"Software\\Neu\\Tiefer", u"Roh", u"AB", platform::RegBinary);
  EXPECT_TRUE(os.registry.HasKey(User, "Software\\Neu"));
  EXPECT_EQ(os.registry.Get(User, "Software\\Neu\\Tiefer", "Text"),
            (StoredValue{platform::RegSz, std::string("K\xE4se\0", 5)}));
  EXPECT_EQ(os.registry.Get(User, "Software\\Neu\\Tiefer", "Liste"),
            (StoredValue{platform::RegMultiSz, std::string("a\0b\0\0", 5)}));
  EXPECT_EQ(os.registry.Get(User, "Software\\Neu\\Tiefer", "Roh"), (StoredValue{platform::RegBinary, "AB"}));
  EXPECT_EQ(RegGetString(os, User, u"Software\\Neu\\Tiefer", u"Liste"), std::u16string(u"a\0b\0", 4));
}

TEST_F(RegistryAccess, CharactersTheCodePageLacksAreStoredAsQuestionMarks) {
  RegPutValue(os, User, u"Software\\Test", u"Text", u"€ ł 😀", platform::RegSz);
  // The surrogate pair is one "?": the size follows the stored bytes.
  EXPECT_EQ(os.registry.Get(User, Path, "Text"), (StoredValue{platform::RegSz, std::string("\x80 ? ?\0", 6)}));
}

TEST_F(RegistryAccess, RemovingDeletesOnlyThatValue) {
  os.registry.PutText(User, Path, "Weg", u"1");
  os.registry.PutText(User, Path, "Bleibt", u"2");
  RegRemoveValue(os, User, u"Software\\Test", u"Weg");
  EXPECT_FALSE(os.registry.Get(User, Path, "Weg"));
  EXPECT_TRUE(os.registry.Get(User, Path, "Bleibt"));

  const auto before = os.registry.AllKeys();
  RegRemoveValue(os, User, u"Software\\Test", u"Weg");
  RegRemoveValue(os, User, u"Software\\Fehlt", u"Weg");
  EXPECT_EQ(os.registry.AllKeys(), before);
}

TEST_F(RegistryAccess, AKeyThatCannotBeWrittenStaysAsItWas) {
  os.registry.PutText(RegistryRoot::LocalMachine, Path, "Wert", u"alt");
  os.registry.Protect(RegistryRoot::LocalMachine, Path, FakeRegistry::Protection::ReadOnly);
  const auto before = os.registry.AllKeys();
  RegPutValue(os, RegistryRoot::LocalMachine, u"Software\\Test", u"Wert", u"neu", platform::RegSz);
  RegPutValue(os, RegistryRoot::LocalMachine, u"Software\\Test\\Unter", u"Wert", u"neu", platform::RegSz);
  RegRemoveValue(os, RegistryRoot::LocalMachine, u"Software\\Test", u"Wert");
  EXPECT_EQ(os.registry.AllKeys(), before);
  EXPECT_EQ(RegGetString(os, RegistryRoot::LocalMachine, u"Software\\Test", u"Wert"), u"alt");  // still readable
}

}  // namespace
