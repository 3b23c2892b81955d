// The uninstall log written to a real file: exactly the records, replaced on a
// second write, whole past the first 65535 bytes, released in every case, and
// created under a descriptor that leaves it to administrators.
#include <windows.h>

#include <sddl.h>
#include <gtest/gtest.h>

#include <iterator>
#include <string>

#include "services/protected_descriptor.h"
#include "services/trust_check.h"
#include "tests/driver/driver.h"
#include "uninstlog/log_format.h"
#include "uninstlog/uninstall_log.h"

using namespace driver;
using std::string_literals::operator""s;

namespace {

void ExpectReleased(const UninstallLog& log) {
  EXPECT_EQ(log.buffer, nullptr);
  EXPECT_EQ(log.file, nullptr);
  EXPECT_EQ(log.position, 0u);
}

TEST(WriteLog, TheFileIsExactlyTheRecordsAndASecondWriteReplacesIt) {
  const std::string dir = FreshFolder("log");
  const std::string path = dir + "\\uninst.qln";
  UninstallLog log = {};
  OpenLog(log, path.c_str());
  AppendLog(log, LogType::Banner, "Tarvel Lib\rSetup");
  AppendLog(log, LogType::Directory, dir.c_str());
  AppendLog(log, LogType::Component, " Shared Files");
  AppendLog(log, LogType::ValueName, "");
  AppendLog(log, LogType::MachineKeyGone, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarvel Lib");
  EXPECT_TRUE(WriteLog(log));
  ExpectReleased(log);
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(path, &bytes));
  EXPECT_EQ(bytes, "\x01Tarvel Lib\rSetup\0\x09"s + dir + "\0\x02 Shared Files\0\x06\0"s +
                       "\x08Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarvel Lib\0"s);

  OpenLog(log, path.c_str());
  AppendLog(log, LogType::Banner, "B");
  WriteLog(log);
  ASSERT_TRUE(ReadFileBytes(path, &bytes));
  EXPECT_EQ(bytes, "\x01" "B\0"s) << "the second write left the first file's tail";
  RemoveTree(dir);
}

// Wine keeps no file's DACL (asked, it answers one it makes up), so what can be seen
// here is the descriptor that the log file and every folder the installer makes are
// created with; that the log is written with it, byte for byte, the test above shows,
// and that folders are made with it, the tests of CreateDirectoryPath.
TEST(WriteLog, TheLogAndTheFoldersAreCreatedForAdministratorsAndSystem) {
  struct Entry {
    WELL_KNOWN_SID_TYPE who;
    DWORD access;
  };
  struct Kind {
    Protected what;
    BYTE inherit;  // a file passes nothing on; a folder passes every entry on
    DWORD users;
  };
  static const Kind kinds[] = {
      {Protected::Log, 0, FILE_GENERIC_READ},
      {Protected::Folder, OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE, FILE_GENERIC_READ | FILE_GENERIC_EXECUTE},
  };
  for (const Kind& k : kinds) {
    const int kind = static_cast<int>(k.what);
    void* descriptor = TakeProtectedDescriptor(k.what);
    ASSERT_NE(descriptor, nullptr) << "kind " << kind;
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    ASSERT_TRUE(GetSecurityDescriptorControl(descriptor, &control, &revision));
    EXPECT_NE(control & SE_DACL_PROTECTED, 0) << "kind " << kind << ": entries of the folder would be inherited";
    BOOL present = FALSE, defaulted = FALSE;
    ACL* dacl = nullptr;
    ASSERT_TRUE(GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted));
    ASSERT_TRUE(present);
    ASSERT_NE(dacl, nullptr);
    const Entry expected[] = {
        {WinLocalSystemSid, FILE_ALL_ACCESS},
        {WinBuiltinAdministratorsSid, FILE_ALL_ACCESS},
        {WinBuiltinUsersSid, k.users},
    };
    ASSERT_EQ(dacl->AceCount, std::size(expected));
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
      void* ace = nullptr;
      ASSERT_TRUE(GetAce(dacl, i, &ace));
      const auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
      EXPECT_EQ(allowed->Header.AceType, ACCESS_ALLOWED_ACE_TYPE) << "kind " << kind << ", entry " << i;
      EXPECT_EQ(allowed->Header.AceFlags, k.inherit) << "kind " << kind << ", entry " << i;
      EXPECT_EQ(allowed->Mask, expected[i].access) << "kind " << kind << ", entry " << i;
      BYTE sid[SECURITY_MAX_SID_SIZE];
      DWORD size = sizeof sid;
      ASSERT_TRUE(CreateWellKnownSid(expected[i].who, nullptr, sid, &size));
      EXPECT_TRUE(EqualSid(sid, const_cast<DWORD*>(&allowed->SidStart))) << "kind " << kind << ", entry " << i;
    }
    ReleaseProtectedDescriptor(descriptor);
  }
}

// Who may change what an elevated program trusts, judged on descriptors made from their
// strings: Wine cannot give a file an owner other than the running account, nor keep a
// DACL beyond what the Unix mode holds, so owners and entries are tried here.
TEST(TrustCheck, OwnersAndEntriesThatLetOthersChangeAnObject) {
  struct TrustCase {
    const char* sddl;
    const char* why;  // nullptr: only the administrators can change it
  };
  constexpr char kSelf[] = "S-1-5-21-1-2-3-1000";
  static const TrustCase cases[] = {
      {"O:BAD:P(A;;FA;;;SY)(A;;FA;;;BA)(A;;FR;;;BU)", nullptr},  // the log's own
      {"O:SYD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)", nullptr},
      {"O:S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464D:(A;;FA;;;S-1-5-80-956008885-3418522649-"
       "1831038044-1853292631-2271478464)(A;OICIIO;FA;;;CO)(D;;FA;;;WD)",
       nullptr},                                                     // TrustedInstaller, CREATOR OWNER, a denial
      {"O:S-1-5-21-1-2-3-1000D:(A;;FA;;;S-1-5-21-1-2-3-1000)", nullptr},  // the running account
      {"O:BUD:(A;;FA;;;BA)", "owner S-1-5-32-545"},                 // a user's folder: the owner may change its rights
      {"O:S-1-5-21-9-9-9-1001D:(A;;FA;;;BA)", "owner S-1-5-21-9-9-9-1001"},
      {"O:BAD:(A;OICI;0x1301ff;;;WD)", "S-1-1-0 may change it (0x1301FF)"},  // Wine's mode 777
      {"O:BAD:(A;;FR;;;BU)(A;;GW;;;AU)", "S-1-5-11 may change it (0x40000000)"},
      {"O:BAD:(A;;WO;;;BU)", "S-1-5-32-545 may change it (0x80000)"},  // the owner, and so the rights
      {"O:BAD:(A;;SD;;;BU)", "S-1-5-32-545 may change it (0x10000)"},  // deletion
      {"O:BA", "no DACL"},  // no DACL: everyone may do everything
  };
  PSID self = nullptr;
  ASSERT_TRUE(ConvertStringSidToSidA(kSelf, &self));
  for (const TrustCase& c : cases) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(c.sddl, SDDL_REVISION_1, &descriptor, nullptr))
        << c.sddl;
    char why[kTrustWhyCapacity] = {};
    EXPECT_EQ(OnlyAdministratorsCanChangeDescriptor(descriptor, self, why), c.why == nullptr) << c.sddl;
    if (c.why != nullptr) {
      EXPECT_STREQ(why, c.why) << c.sddl;
    }
    LocalFree(descriptor);
  }
  LocalFree(self);
}

TEST(WriteLog, SeventyThousandBytesOfRecordsAreAllWritten) {
  const std::string dir = FreshFolder("log_long");
  const std::string path = dir + "\\uninst.qln";
  const std::string root = "C:\\" + std::string(230, 'r');
  UninstallLog log = {};
  OpenLog(log, path.c_str());
  std::string expected;
  for (int i = 0; expected.size() < 70000; ++i) {
    const std::string file = root + "\\" + std::to_string(i);
    AppendLog(log, LogType::File, file.c_str());
    expected += "\x03" + file + '\0';
  }
  AppendLog(log, LogType::MachineKeyGone, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarvel Lib");
  expected += "\x08Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarvel Lib\0"s;
  EXPECT_GT(log.capacity, kLogBufferCapacity);
  WriteLog(log);
  ExpectReleased(log);
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(path, &bytes));
  EXPECT_EQ(bytes.size(), expected.size());
  EXPECT_TRUE(bytes == expected) << "the file differs from the records appended";
  RemoveTree(dir);
}

TEST(WriteLog, ALogThatCannotBeCreatedIsStillReleased) {
  const std::string dir = FreshFolder("log_fail");
  UninstallLog log = {};
  OpenLog(log, (dir + "\\missing\\uninst.qln").c_str());
  AppendLog(log, LogType::Banner, "B");
  EXPECT_FALSE(WriteLog(log));
  ExpectReleased(log);
  EXPECT_FALSE(DirectoryExists(dir + "\\missing"));

  const std::string held = dir + "\\uninst.qln";
  ASSERT_TRUE(WriteFileBytes(held, "old"));
  HANDLE other = CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(other, INVALID_HANDLE_VALUE);
  OpenLog(log, held.c_str());
  AppendLog(log, LogType::Banner, "B");
  EXPECT_FALSE(WriteLog(log));
  CloseHandle(other);
  ExpectReleased(log);
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(held, &bytes));
  EXPECT_EQ(bytes, "old");
  RemoveTree(dir);
}

TEST(WriteLog, APathTooLongForTheNameWritesNoFileUnderACutName) {
  const std::string dir = FreshFolder("log_long_name");
  const std::string path = dir + "\\" + std::string(280, 'x') + "\\uninst.qln";
  UninstallLog log = {};
  OpenLog(log, path.c_str());
  AppendLog(log, LogType::Banner, "B");
  EXPECT_FALSE(WriteLog(log));
  ExpectReleased(log);
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((dir + "\\x*").c_str(), &found);
  EXPECT_EQ(search, INVALID_HANDLE_VALUE) << "a file named " << found.cFileName << " was written";
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
  RemoveTree(dir);
}

}  // namespace
