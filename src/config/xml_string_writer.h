// An XML writer that collects its output in memory, so that a configuration
// file can be composed whole and then replace the old file in one step.
#pragma once
#include <string>

#include "config/xml_writer.h"

class trel_xml_string_writer : public trel_xml_writer {
public:
  int write_raw(const char *text) override {
    if (!text)
      return -1;
    std::size_t before = output.size();
    output += text;
    return static_cast<int>(output.size() - before);
  }

  const std::string &text() const { return output; }

private:
  std::string output;
};
