// The stack of open element names shared by the XML reader and writer.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

// Longest tag text kept on the stack; longer names are cut to this length.
constexpr std::size_t TREL_XML_TAG_MAX = 999;

// Open elements, innermost last. A vector rather than a chain of nodes so that
// a file nested a million levels deep neither recurses on destruction nor
// costs more than a few bytes per level.
class trel_xml_tag_stack {
public:
  // Pushes a copy of text cut to TREL_XML_TAG_MAX characters.
  void push(const char *text) {
    std::string entry(text);
    if (entry.size() > TREL_XML_TAG_MAX)
      entry.resize(TREL_XML_TAG_MAX);
    entries.push_back(std::move(entry));
  }

  // Removes the innermost entry into out; returns 0 (out untouched) when empty.
  int pop(std::string &out) {
    if (entries.empty())
      return 0;
    out = std::move(entries.back());
    entries.pop_back();
    return 1;
  }

  // The innermost entry's text, or nullptr when nothing is open. Valid until
  // the next push or pop.
  const char *top() const { return entries.empty() ? nullptr : entries.back().c_str(); }

  std::size_t size() const { return entries.size(); }
  bool empty() const { return entries.empty(); }

private:
  std::vector<std::string> entries;
};
