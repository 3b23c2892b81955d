// Allocation and release of the setup state's blocks.
#include "engine/setup_state.h"

#include "engine/component_table.h"

SetupState gSetup;

void* AllocateBlock(std::size_t size) { return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size); }

void ReleaseBlock(void* block) {
  if (block != nullptr) HeapFree(GetProcessHeap(), 0, block);
}

void AllocateSetupState() {
  for (char*& value : gSetup.macros.values) value = static_cast<char*>(AllocateBlock(kMacroValueCapacity));
  gSetup.macros.scratch = static_cast<char*>(AllocateBlock(kExpansionScratchCapacity));
  gSetup.pathBuffer = static_cast<char*>(AllocateBlock(kPathBufferCapacity));
  for (char*& w : gSetup.work) w = static_cast<char*>(AllocateBlock(kWorkBufferCapacity));
  for (int i = 0; i < 9; ++i) gSetup.stepLabel[i] = "step 1/4"[i];
}

template <typename T>
static void Release(T*& block) {
  ReleaseBlock(block);
  block = nullptr;
}

void ReleaseSetupState() {
  ReleaseComponentRoots();
  for (char*& value : gSetup.macros.values) Release(value);
  Release(gSetup.macros.scratch);
  Release(gSetup.pathBuffer);
  for (char*& w : gSetup.work) Release(w);
}
