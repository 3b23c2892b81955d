// One install-script instruction and the opcode set the interpreter understands.
// Portable: the script tables are constant data built at compile time.
#pragma once
#include <cstdint>

enum class Opcode : std::uint32_t {
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

// b is one operand: a resource or dialog item ID for opcodes 0, 12 and 18, a text for
// the others; c is read only by opcodes 14 and 15. A step without a ends the script.
// b's two forms share their bytes: the program carries close to a thousand steps as
// constant data, and each spends only what it holds. The opcode says which form is
// there; the constructor puts in only that one, and readers take bId only where
// TakesIdOperand says so, bText everywhere else.
struct ScriptStep {
  const char* a;
  union {
    const char* bText;
    std::uint32_t bId;
  };
  const char* c;
  Opcode opcode;

  constexpr ScriptStep() : a(nullptr), bId(0), c(nullptr), opcode(Opcode::ExtractPayload) {}
  constexpr ScriptStep(const char* first, const char* text, std::uint32_t id, const char* third, Opcode op)
      : a(first), bId(0), c(third), opcode(op) {
    if (!TakesIdOperand(op)) {
      bText = text;
    } else {
      bId = id;
    }
  }
};

inline constexpr ScriptStep kEndOfScript = {nullptr, nullptr, 0, nullptr, Opcode::ExtractPayload};

constexpr int CountSteps(const ScriptStep* script) {
  int n = 0;
  while (script[n].a != nullptr) ++n;
  return n;
}
