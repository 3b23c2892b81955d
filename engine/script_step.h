// One install-script instruction and the opcode set the interpreter understands.
// Portable: the script tables are constant data built at compile time.
#pragma once
#include <cstdint>

enum class Opcode : std::uint8_t {
  ExtractPayload = 0,     // a: target file; b: resource ID
  MakeDirectory = 1,      // a: directory, every missing level
  CopyToFile = 2,         // a: source file; b: target file template
  Reserved3 = 3,          // does nothing
  Reserved4 = 4,          // does nothing
  RunBuildTool = 5,       // a: command line; b: working directory template
  RegisterPackage = 6,    // a: package file; b: description, not expanded
  UpdateSearchPath = 7,   // a: new entry with its leading ';'; b: value name
  RegisterHelpFile = 8,   // a: directory; b: help file name template
  AppendOnce = 9,         // a: file; b: text template
  RemoveFile = 10,        // a: file
  SetSubDir = 11,         // a: value of $SUB_DIR$
  ShowText = 12,          // a: text; b: dialog item ID
  SetSubFile = 13,        // a: value of $SUB_FILE$
  SetMachineValue = 14,   // a: HKLM key; b: value name template; c: data template
  SetUserValue = 15,      // a: HKCU key; b: value name template; c: data template
  PruneRegistrations = 16,// a: unused
  RecordBuildOutput = 17, // a: file a build makes
  AddRepositoryPage = 18, // a: repository file; b: template resource ID
};

constexpr bool TakesIdOperand(Opcode op) {
  return op == Opcode::ExtractPayload || op == Opcode::ShowText || op == Opcode::AddRepositoryPage;
}

// Opcodes 14 and 15 read a third text, c.
constexpr bool TakesThirdText(Opcode op) { return op == Opcode::SetMachineValue || op == Opcode::SetUserValue; }

// Six bytes a step: the program carries close to a thousand of them as constant data.
// Texts are offsets into the pool of texts the script was built with, not addresses, so
// the tables need no relocation; offset 0 is no text. b is a resource or dialog item ID
// where TakesIdOperand says so, a text's offset everywhere else; c, where read, is the
// text after b's NUL in the pool. A step without a ends the script.
struct ScriptStep {
  std::uint16_t a;
  std::uint16_t b;
  Opcode opcode;
};
static_assert(sizeof(ScriptStep) == 6);

inline constexpr ScriptStep kEndOfScript = {0, 0, Opcode::ExtractPayload};

// A step's texts read from its pool; nullptr where the step has none.
struct StepTexts {
  const char* a;
  const char* b;
  const char* c;
};

constexpr const char* PoolText(const char* pool, std::uint16_t offset) { return offset != 0 ? pool + offset : nullptr; }

constexpr StepTexts TextsOf(const char* pool, const ScriptStep& s) {
  StepTexts t = {PoolText(pool, s.a), TakesIdOperand(s.opcode) ? nullptr : PoolText(pool, s.b), nullptr};
  if (TakesThirdText(s.opcode) && t.b != nullptr) {
    const char* end = t.b;
    while (*end != '\0') ++end;
    t.c = end + 1;
  }
  return t;
}

constexpr int CountSteps(const ScriptStep* script) {
  int n = 0;
  while (script[n].a != 0) ++n;
  return n;
}
