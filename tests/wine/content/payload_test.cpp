// The built setup.exe carries exactly the payload the install scripts extract, and
// its resource 7 is the uninstaller built beside it.
#include <gtest/gtest.h>

#include <set>

#include "engine/script_tables.h"
#include "tests/driver/driver.h"

using namespace driver;

namespace {

BOOL CALLBACK CollectId(HMODULE, LPCSTR, LPSTR name, LONG_PTR param) {
  auto* ids = reinterpret_cast<std::set<unsigned>*>(param);
  // Payload resources are named by integer IDs only.
  ids->insert(IS_INTRESOURCE(name) ? static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(name)) : 0u);
  return TRUE;
}

TEST(Payload, SetupCarriesExactlyTheExtractedIdsAndTheUninstaller) {
  HMODULE setup = LoadLibraryExA(BuildPath("setup/setup.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(setup, nullptr);
  std::set<unsigned> carried;
  EnumResourceNamesA(setup, MAKEINTRESOURCEA(10), CollectId, reinterpret_cast<LONG_PTR>(&carried));
  std::set<unsigned> extracted;
  for (const ScriptStep* script : scripts::kAll)
    for (const ScriptStep* s = script; s->a != 0; ++s)
      if (s->opcode == Opcode::ExtractPayload) extracted.insert(s->b);
  EXPECT_EQ(carried.size(), 476u);
  EXPECT_EQ(carried, extracted);

  HRSRC found = FindResourceA(setup, MAKEINTRESOURCEA(7), MAKEINTRESOURCEA(10));
  ASSERT_NE(found, nullptr);
  const char* bytes = static_cast<const char*>(LockResource(LoadResource(setup, found)));
  const std::string resource(bytes, SizeofResource(setup, found));
  std::string uninstaller;
  ASSERT_TRUE(ReadFileBytes(BuildPath("uninstaller/qlnclear.exe"), &uninstaller));
  EXPECT_EQ(resource.size(), uninstaller.size());
  EXPECT_TRUE(resource == uninstaller);
  // Every resource but the uninstaller's has content: a missing file would extract empty.
  for (unsigned id : carried) {
    HRSRC r = FindResourceA(setup, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10));
    EXPECT_GT(SizeofResource(setup, r), 0u) << "resource " << id;
  }
  FreeLibrary(setup);
}

}  // namespace
