#pragma once
#include "document/UserMessages.h"

#include <ostream>
#include <string>

// The document's messages into the same stream as the walk's failures, in the order they came.
class StreamMessages : public UserMessages {
public:
  explicit StreamMessages(std::ostream &out) : out(out) {}
  void Show(const std::string &text) override { out << text << "\n"; }

private:
  std::ostream &out;
};
