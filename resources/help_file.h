// The library's Windows help file (tarvel.hlp) and its contents file (tarvel.cnt),
// both generated on the build host from one table of topics.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

struct HelpTopic {
  const char* context;      // context name the contents file and jumps use
  const char* title;        // shown in the title bar and the contents file
  const char* keywords[2];  // index entries; null when unused
  const char* body[4];      // paragraphs of text; null when unused
};

// The topics in file order; the first is the one the viewer opens on.
std::span<const HelpTopic> HelpTopics();

// The viewer's hash of a context name (case-insensitive).
uint32_t HelpContextHash(std::string_view name);

// The whole help file; empty if the topics outgrow the single-page layout.
std::string HelpFile();
// The contents file, one jump per topic under one book.
std::string HelpContents();
