// The thirteen install scripts, built at compile time from the Delphi and C++Builder
// templates and their parameter rows, and the pool of their texts. Portable.
#pragma once
#include <array>

#include "engine/script_step.h"

namespace scripts {

// The pool every script's texts are offsets into (TextsOf).
extern const char* const kTexts;

extern const ScriptStep* const kDelphi3;
extern const ScriptStep* const kDelphi4;
extern const ScriptStep* const kDelphi5;
extern const ScriptStep* const kDelphi6;
extern const ScriptStep* const kDelphi7;
extern const ScriptStep* const kDelphi2005;
extern const ScriptStep* const kBuilder3;
extern const ScriptStep* const kBuilder4;
extern const ScriptStep* const kBuilder5;
extern const ScriptStep* const kBuilder6;
extern const ScriptStep* const kSharedFiles;
extern const ScriptStep* const kDemoProjects;
extern const ScriptStep* const kContextHelp;

// Every script in component-table order, for the payload generator and the tests.
inline constexpr int kScriptCount = 13;
extern const std::array<const ScriptStep*, kScriptCount> kAll;

// The longest path Windows' ANSI calls take: a file's, and a folder's, which keeps room
// for an 8.3 name below it.
inline constexpr int kLongestFilePath = 259;
inline constexpr int kLongestFolderPath = 248;

// Characters the longest path a script of kAll writes below $HOME_DIR$ adds to it,
// derived from the steps when the program is built; a folder counts as its path plus
// the difference of the two limits, so that a root of kLongestFilePath minus the room
// holds every file and folder the script makes. 0 for any other script.
int RoomBelowHome(const ScriptStep* script);

}  // namespace scripts
